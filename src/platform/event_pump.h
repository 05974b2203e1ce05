#pragma once

#include <QTimer>

#include <chrono>
#include <optional>
#include <vector>

class QEventLoop;

// How the dwell wait lets time pass while the window stays alive.
class EventPump {
public:
    virtual ~EventPump() = default;

    // Lets one stage of the dwell pass, running every event as it comes: the browser
    // engine only loads a page while events flow. Returns when the stage's time is up
    // or as soon as endWaits() is called.
    virtual void waitStage(std::chrono::milliseconds length) = 0;

    // Ends every stage being waited out, at once: a stopped run must not sit out its
    // stage. Waits that begin afterwards wait as usual.
    virtual void endWaits() = 0;

    // Runs every event that is pending now, then returns.
    virtual void processPendingEvents() = 0;
};

class QtEventPump final : public EventPump {
public:
    QtEventPump();

    void waitStage(std::chrono::milliseconds length) override;
    void endWaits() override;
    void processPendingEvents() override;

private:
    using Clock = std::chrono::steady_clock;
    struct Wait {
        QEventLoop* loop;
        Clock::time_point end;
    };
    void armTimerForInnermostWait();

    // One timer serves every wait: it always stands for the innermost one, since a run
    // started from inside a wait (a nested Start) waits inside it.
    QTimer timer_;
    std::vector<Wait> waits_;
    std::optional<Clock::time_point> lastStageEnd_;
};
