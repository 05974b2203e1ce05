#pragma once

#include <chrono>
#include <optional>

// How the dwell wait lets time pass while the window stays alive.
class EventPump {
public:
    virtual ~EventPump() = default;

    // Lets one slice of the dwell pass. The browser engine only loads a page while
    // events flow, so the real pump waits in a local event loop rather than sleeping.
    virtual void waitSlice(int milliseconds) = 0;

    // Runs every event that is pending now, then returns.
    virtual void processPendingEvents() = 0;
};

class QtEventPump final : public EventPump {
public:
    void waitSlice(int milliseconds) override;
    void processPendingEvents() override;

private:
    using Clock = std::chrono::steady_clock;
    std::optional<Clock::time_point> lastSliceEnd_;
};
