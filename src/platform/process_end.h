#pragma once

#include <functional>
#include <utility>

// Ends the whole program at once, wherever a run is, with exit status 0.
class ProcessEnd {
public:
    virtual ~ProcessEnd() = default;
    // The real one never returns; a test's fake records the call and returns.
    virtual void endProcess() = 0;
};

class QtProcessEnd final : public ProcessEnd {
public:
    // lastWords runs just before the end, to tell whoever watches the program.
    explicit QtProcessEnd(std::function<void()> lastWords = {})
        : lastWords_(std::move(lastWords))
    {
    }
    void endProcess() override;

private:
    std::function<void()> lastWords_;
};
