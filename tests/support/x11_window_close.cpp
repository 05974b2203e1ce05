#include "support/x11_window_close.h"

// Xlib's macros (None, Bool, Status...) clash with Qt's names, so this file keeps
// them to itself.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

long windowPid(Display* display, Window window, Atom pidAtom)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &remaining,
                           &data)
            == Success
        && data != nullptr && format == 32 && count == 1)
        pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
    if (data != nullptr)
        XFree(data);
    return pid;
}

} // namespace

int askWindowsOfProcessToClose(const QByteArray& displayName, qint64 pid)
{
    Display* display = XOpenDisplay(displayName.constData());
    if (display == nullptr)
        return -1;
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);

    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int childCount = 0;
    int asked = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &childCount) != 0) {
        for (unsigned int i = 0; i < childCount; ++i) {
            XWindowAttributes attributes;
            if (XGetWindowAttributes(display, children[i], &attributes) == 0 || attributes.map_state != IsViewable)
                continue;
            if (windowPid(display, children[i], pidAtom) != pid)
                continue;
            XEvent event = {};
            event.xclient.type = ClientMessage;
            event.xclient.window = children[i];
            event.xclient.message_type = protocols;
            event.xclient.format = 32;
            event.xclient.data.l[0] = static_cast<long>(deleteWindow);
            event.xclient.data.l[1] = CurrentTime;
            XSendEvent(display, children[i], False, NoEventMask, &event);
            ++asked;
        }
    }
    if (children != nullptr)
        XFree(children);
    XSync(display, False);
    XCloseDisplay(display);
    return asked;
}
