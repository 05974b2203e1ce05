#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <QTimer>

class form2;

// The whole screen given to the pages: the window full screen in the compact view,
// without its menu bar, the browser on every pixel and the pointer out of sight while
// the mouse rests. F11 switches it on and off; leaving puts the window back as it was.
class FullScreen final : public QObject {
    Q_OBJECT

public:
    explicit FullScreen(form2& form);
    ~FullScreen() override;

    bool active() const { return active_; }
    void enter();
    void leave();
    void toggle();
    // Gives the browser the whole client area at its size now; the window's designed
    // layout waits until full screen ends.
    void fill();

    static constexpr int kPointerRestMs = 3000;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void hidePointer();
    void showPointer();

    form2& form_;
    bool active_ = false;
    // What leaving puts back.
    struct Before {
        Qt::WindowStates states;
        QRect geometry;
        bool placed = false; // shown before, so the place is the user's
        bool menuBarShown = true;
        bool panelShown = true;
        QString hideCaption;
        QRect browserFrame;
        QRect browser;
    } before_;
    QMetaObject::Connection followScreen_;
    QTimer pointerRest_;
    bool pointerHidden_ = false;
};
