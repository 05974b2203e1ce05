#include "platform/event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void QtEventPump::waitSlice(int milliseconds)
{
    if (milliseconds <= 0)
        return;
    const auto slice = std::chrono::milliseconds(milliseconds);
    const Clock::time_point now = Clock::now();
    // Slices that follow one another keep to a steady timeline, so the moments spent
    // between them (events, a navigation) do not stretch a dwell of 100 slices. A
    // slice that begins more than a slice late, after a dialog say, starts afresh.
    const bool continuesTimeline = lastSliceEnd_ && now - *lastSliceEnd_ < slice;
    const Clock::time_point end = (continuesTimeline ? *lastSliceEnd_ : now) + slice;
    lastSliceEnd_ = end;
    if (end <= now)
        return;

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(std::chrono::ceil<std::chrono::milliseconds>(end - now));
    loop.exec();
}

void QtEventPump::processPendingEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
