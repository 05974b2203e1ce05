#include "support/virtual_x_server.h"

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

VirtualXServer::~VirtualXServer()
{
    if (connection_)
        XCloseDisplay(static_cast<Display*>(connection_));
    xvfb_.terminate();
    xvfb_.waitForFinished(5000);
}

bool VirtualXServer::start()
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (program.isEmpty())
        return false;
    // The server picks a free display and names it on standard output.
    xvfb_.start(program, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                          QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                          QStringLiteral("tcp")});
    if (!xvfb_.waitForStarted() || !QTest::qWaitFor([this] { return xvfb_.canReadLine(); }, 10000))
        return false;
    display_ = ":" + xvfb_.readLine().trimmed();
    connection_ = XOpenDisplay(display_.constData());
    return connection_ != nullptr;
}

void VirtualXServer::startScreenSaverAfterOneSecond()
{
    auto* display = static_cast<Display*>(connection_);
    XSetScreenSaver(display, 1, 0, DontPreferBlanking, AllowExposures);
    XSync(display, False);
}

qint64 VirtualXServer::idleMs() const
{
    return query(connection_).idleMs;
}

bool VirtualXServer::screenSaverOn() const
{
    return query(connection_).state == ScreenSaverOn;
}
