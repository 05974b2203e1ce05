#pragma once

#include <memory>
#include <optional>

class XScreenSaverSuspension;

// Keeps the screen awake: no screen saver, no display power saving, while held.
class ScreenKeeper {
public:
    virtual ~ScreenKeeper() = default;
    // Holding again while held changes nothing; one release lets the screen sleep again.
    virtual void hold() = 0;
    virtual void release() = 0;
};

// Asks the desktop's screen-saver service on the session bus; where there is none,
// suspends the X server's own screen saver. Either way the hold belongs to this
// process's connection, so it ends by itself if the process dies.
class DesktopScreenKeeper final : public ScreenKeeper {
public:
    DesktopScreenKeeper();
    ~DesktopScreenKeeper() override;

    void hold() override;
    void release() override;

private:
    void suspendXScreenSaver(bool on);

    bool held_ = false;
    // The service's receipt for the hold, handed back on release.
    std::optional<unsigned> cookie_;
    // Learned from the first attempt: the session has no such service, so the X server it is.
    bool serviceMissing_ = false;
    std::unique_ptr<XScreenSaverSuspension> xScreenSaver_;
};
