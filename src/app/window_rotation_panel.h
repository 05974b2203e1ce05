#pragma once

#include "browse/rotation_panel.h"

class RepaintWithNextFrame;
class form2;

// The designed window as a rotation sees it: the playlist box, the interval and the
// check boxes it reads, the list row, Current URL and count boxes it shows in, and
// Exit's handling at the end of a run.
class WindowRotationPanel final : public RotationPanel {
public:
    explicit WindowRotationPanel(form2& form)
        : form_(form)
    {
    }

    int entryCount() const override;
    QString entry(int index) const override;
    bool loops() const override;
    bool bypassesCache() const override;
    bool randomDwell() const override;
    QString intervalText() const override;
    void setIntervalText(const QString& text) override;
    void beforePass() override;
    void showEntry(int index, const QString& address) override;
    void showPassCount(qint64 passes) override;
    void runEnded() override;

private:
    // The list row and the boxes change as a page is asked for, and are repainted with
    // the page's first frame.
    void holdNamingRepaint();

    form2& form_;
    // Made with the first entry shown, once the controls exist; the window owns it.
    RepaintWithNextFrame* naming_ = nullptr;
};
