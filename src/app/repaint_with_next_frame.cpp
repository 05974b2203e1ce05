#include "app/repaint_with_next_frame.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <utility>

namespace {

// Most pages draw their first frame within this; a slower one has its
// name on the screen after this long, while the page before is still there.
constexpr int kLongestHoldMs = 500;

} // namespace

RepaintWithNextFrame::RepaintWithNextFrame(QWidget* window, std::vector<QWidget*> controls)
    : QObject(window)
    , window_(window)
    , controls_(std::move(controls))
{
    longest_.setSingleShot(true);
    longest_.setInterval(kLongestHoldMs);
    connect(&longest_, &QTimer::timeout, this, &RepaintWithNextFrame::release);
}

void RepaintWithNextFrame::hold()
{
    if (std::exchange(held_, true))
        return;
    for (QWidget* control : controls_)
        control->setUpdatesEnabled(false);
    window_->installEventFilter(this);
    longest_.start();
}

bool RepaintWithNextFrame::eventFilter(QObject* watched, QEvent* event)
{
    // The window is about to repaint what has changed: the controls join in. Their
    // repaint asks the window for another, which would compose all of it again with
    // nothing left to paint: the repaint under way takes them along.
    if (watched == window_ && event->type() == QEvent::UpdateRequest) {
        release();
        QCoreApplication::removePostedEvents(window_, QEvent::UpdateRequest);
    }
    return false;
}

void RepaintWithNextFrame::release()
{
    if (!std::exchange(held_, false))
        return;
    longest_.stop();
    window_->removeEventFilter(this);
    for (QWidget* control : controls_)
        control->setUpdatesEnabled(true);
}
