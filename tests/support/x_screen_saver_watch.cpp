#include "support/x_screen_saver_watch.h"

#include <QStandardPaths>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace {

struct SaverInfo {
    int state = ScreenSaverDisabled;
    qint64 idleMs = 0;
};

SaverInfo query(void* connection)
{
    auto* display = static_cast<Display*>(connection);
    SaverInfo result;
    if (XScreenSaverInfo* info = XScreenSaverAllocInfo()) {
        if (XScreenSaverQueryInfo(display, DefaultRootWindow(display), info))
            result = {info->state, qint64(info->idle)};
        XFree(info);
    }
    return result;
}

} // namespace

XScreenSaverWatch::~XScreenSaverWatch()
{
    if (connection_)
        XCloseDisplay(static_cast<Display*>(connection_));
    xvfb_.terminate();
    xvfb_.waitForFinished(5000);
}

bool XScreenSaverWatch::start()
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (program.isEmpty())
        return false;
    xvfb_.start(program, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                          QStringLiteral("tcp")});
    if (!xvfb_.waitForStarted() || !QTest::qWaitFor([this] { return xvfb_.canReadLine(); }, 10000))
        return false;
    display_ = ":" + xvfb_.readLine().trimmed();
    auto* display = XOpenDisplay(display_.constData());
    connection_ = display;
    if (!display)
        return false;
    XSetScreenSaver(display, 1, 0, DontPreferBlanking, AllowExposures);
    XSync(display, False);
    return true;
}

qint64 XScreenSaverWatch::idleMs() const
{
    return query(connection_).idleMs;
}

bool XScreenSaverWatch::saverOn() const
{
    return query(connection_).state == ScreenSaverOn;
}
