#pragma once

// The X server's own screen saver (and display power saving), suspended for this
// client's connection: if the process dies, the server ends the suspension itself.
// Without an X display it does nothing.
class XScreenSaverSuspension {
public:
    XScreenSaverSuspension();
    ~XScreenSaverSuspension();
    XScreenSaverSuspension(const XScreenSaverSuspension&) = delete;
    XScreenSaverSuspension& operator=(const XScreenSaverSuspension&) = delete;

    // The server counts suspensions per client, so calls must alternate; this keeps them so.
    void suspend(bool on);

private:
    void* display_ = nullptr; // Display*, kept out of this header with the rest of Xlib
    bool suspended_ = false;
};
