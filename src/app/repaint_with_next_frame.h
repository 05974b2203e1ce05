#pragma once

#include <QObject>
#include <QTimer>

#include <vector>

class QWidget;

// A window that holds the engine's view composes all of itself for each repaint, the
// dearest thing it does while pages rotate. Controls that change as a page is asked for
// are repainted with the window's next repaint, which the page's first frame brings,
// or once the longest hold has passed: naming a page costs no repaint of its own.
class RepaintWithNextFrame final : public QObject {
public:
    RepaintWithNextFrame(QWidget* window, std::vector<QWidget*> controls);

    // Before the controls change.
    void hold();

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void release();

    QWidget* window_;
    std::vector<QWidget*> controls_;
    QTimer longest_;
    bool held_ = false;
};
