#pragma once

#include <QString>

#include <functional>
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

// Asks the desktop's screen-saver service on the session bus; where there is none, the
// desktop portal's inhibitor (GNOME, and Wayland desktops without that service); where
// neither answers, suspends the X server's own screen saver on X, and elsewhere says
// once, through tell, that the screen cannot be kept on. Each hold belongs to this
// process's connection, so it ends by itself if the process dies.
class DesktopScreenKeeper final : public ScreenKeeper {
public:
    // By default the word goes to standard error, as the program's other warnings do.
    explicit DesktopScreenKeeper(std::function<void(const QString&)> tell = {});
    ~DesktopScreenKeeper() override;

    void hold() override;
    void release() override;

private:
    bool holdThroughPortal();
    void suspendXScreenSaver(bool on);

    bool held_ = false;
    // The service's receipt for the hold, handed back on release.
    std::optional<unsigned> cookie_;
    // Learned from the first attempt: the session has no such service, so the X server it is.
    bool serviceMissing_ = false;
    // The portal's request object for the hold: closing it ends the hold.
    QString portalRequest_;
    bool portalMissing_ = false;
    std::function<void(const QString&)> tell_;
    bool told_ = false;
    std::unique_ptr<XScreenSaverSuspension> xScreenSaver_;
};
