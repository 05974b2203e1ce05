#pragma once

#include <QByteArray>

// Asks every viewable top-level window that the process owns on the X display to
// close, the way a window manager's close button does (a WM_DELETE_WINDOW message).
// Returns how many windows were asked, or -1 when the display cannot be opened.
int askWindowsOfProcessToClose(const QByteArray& display, qint64 pid);
