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
    // What must be done before the process goes, such as putting the browser's
    // profile on disk. Asked to end again meanwhile, the process ends at once.
    void setBeforeEnd(std::function<void()> beforeEnd) { beforeEnd_ = std::move(beforeEnd); }
    void endProcess() override;

private:
    std::function<void()> lastWords_;
    std::function<void()> beforeEnd_;
    bool ending_ = false;
};
