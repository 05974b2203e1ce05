#pragma once

// Ends the whole program at once, wherever a run is, with exit status 0.
class ProcessEnd {
public:
    virtual ~ProcessEnd() = default;
    // The real one never returns; a test's fake records the call and returns.
    virtual void endProcess() = 0;
};

class QtProcessEnd final : public ProcessEnd {
public:
    void endProcess() override;
};
