#include "platform/x_screen_saver_suspension.h"

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

// A connection of its own, opened only when first needed: whatever display the
// toolkit draws on (or none), this reaches the server named by DISPLAY.
XScreenSaverSuspension::XScreenSaverSuspension() = default;

XScreenSaverSuspension::~XScreenSaverSuspension()
{
    if (display_)
        XCloseDisplay(static_cast<Display*>(display_));
}

void XScreenSaverSuspension::suspend(bool on)
{
    if (on == suspended_)
        return;
    if (!display_)
        display_ = XOpenDisplay(nullptr);
    if (!display_)
        return;
    auto* display = static_cast<Display*>(display_);
    int eventBase = 0;
    int errorBase = 0;
    if (!XScreenSaverQueryExtension(display, &eventBase, &errorBase))
        return;
    XScreenSaverSuspend(display, on ? True : False);
    XFlush(display);
    suspended_ = on;
}
