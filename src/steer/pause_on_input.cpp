#include "steer/pause_on_input.h"

#include "browse/rotation.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

PauseOnInput::PauseOnInput(QWidget* browser, Rotation& rotation, int seconds)
    : QObject(browser)
    , browser_(browser)
    , rotation_(rotation)
    , seconds_(seconds)
{
    // The engine's view puts widgets and windows of its own under the browser: every
    // event of the application is looked at, and those meant for the page count.
    qApp->installEventFilter(this);
}

bool PauseOnInput::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::TouchBegin:
    case QEvent::Wheel:
        if (auto* widget = qobject_cast<QWidget*>(watched);
            widget && (widget == browser_ || browser_->isAncestorOf(widget)))
            rotation_.holdFor(seconds_);
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}
