#include "platform/event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <limits>

QtEventPump::QtEventPump()
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
        if (waits_.empty())
            return;
        if (Clock::now() >= waits_.back().end)
            waits_.back().loop->quit();
        else
            armTimerForInnermostWait();
    });
}

void QtEventPump::waitStage(std::chrono::milliseconds length)
{
    if (length <= std::chrono::milliseconds::zero())
        return;
    const Clock::time_point now = Clock::now();
    // Stages that follow one another keep to a steady timeline, so the moments spent
    // between them (a navigation, the stop test) do not stretch the dwell. A stage that
    // begins more than a stage late, or inside a stage that has not ended (a nested
    // run), starts afresh.
    const bool continuesTimeline = lastStageEnd_ && *lastStageEnd_ <= now && now - *lastStageEnd_ < length;
    const Clock::time_point end = (continuesTimeline ? *lastStageEnd_ : now) + length;
    lastStageEnd_ = end;

    QEventLoop loop;
    waits_.push_back({&loop, end});
    armTimerForInnermostWait();
    loop.exec();
    waits_.pop_back();
    // Back in the wait that this one interrupted: the timer is its own again.
    if (!waits_.empty())
        armTimerForInnermostWait();
    else
        timer_.stop();
}

void QtEventPump::armTimerForInnermostWait()
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(waits_.back().end - Clock::now());
    // A timer holds at most about 24 days; a longer stage re-arms it when it fires.
    const auto longest = std::chrono::milliseconds(std::numeric_limits<int>::max());
    timer_.start(std::clamp(left, std::chrono::milliseconds::zero(), longest));
}

void QtEventPump::endWaits()
{
    for (const Wait& wait : waits_)
        wait.loop->quit();
    // The timeline of an ended wait is not one the next run should keep to.
    lastStageEnd_.reset();
}

void QtEventPump::processPendingEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
