#include "platform/display_power.h"

#include <QProcess>
#include <QTimer>

#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

#include <cstdio>

namespace {

// A command that has not ended by then (a television that does not answer) is ended.
constexpr int kLongestCommandMs = 30'000;

} // namespace

SystemDisplayPower::SystemDisplayPower(QString offCommand, QString onCommand, std::function<void(const QString&)> tell)
    : offCommand_(std::move(offCommand))
    , onCommand_(std::move(onCommand))
    , tell_(tell ? std::move(tell) : [](const QString& text) {
        std::fprintf(stderr, "veltrase: %s\n", qUtf8Printable(text));
    })
{
}

SystemDisplayPower::~SystemDisplayPower()
{
    if (display_)
        XCloseDisplay(static_cast<Display*>(display_));
}

void SystemDisplayPower::setPowered(bool on)
{
    const QString& command = on ? onCommand_ : offCommand_;
    if (!command.isEmpty())
        run(command, on ? "--screen-on-command" : "--screen-off-command");
    else if (offCommand_.isEmpty() && onCommand_.isEmpty())
        forceX(on);
}

void SystemDisplayPower::run(const QString& command, const char* what)
{
    auto* process = new QProcess(this);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    const QString named = QStringLiteral("%1 '%2'").arg(QLatin1String(what), command);
    connect(process, &QProcess::errorOccurred, this, [this, process, named](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            tell_(QStringLiteral("%1 could not start: %2").arg(named, process->errorString()));
        if (error == QProcess::FailedToStart || error == QProcess::Crashed)
            process->deleteLater();
    });
    connect(process, &QProcess::finished, this, [this, process, named](int status, QProcess::ExitStatus how) {
        if (how == QProcess::CrashExit)
            tell_(QStringLiteral("%1 did not finish").arg(named));
        else if (status != 0)
            tell_(QStringLiteral("%1 failed with status %2").arg(named).arg(status));
        process->deleteLater();
    });
    QTimer::singleShot(kLongestCommandMs, process, [process] { process->kill(); });
    process->start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
}

void SystemDisplayPower::forceX(bool on)
{
    // A connection of its own, reaching the server named by DISPLAY whatever the
    // toolkit draws on.
    if (!display_)
        display_ = XOpenDisplay(nullptr);
    auto* display = static_cast<Display*>(display_);
    int eventBase = 0, errorBase = 0;
    if (!display || !DPMSQueryExtension(display, &eventBase, &errorBase) || !DPMSCapable(display)) {
        if (!std::exchange(toldNoPowerManagement_, true))
            tell_(QStringLiteral("this display cannot be powered down from here (no X display power management); "
                                 "the screen is only dark: --screen-off-command can do it"));
        return;
    }
    if (!on)
        DPMSEnable(display);
    DPMSForceLevel(display, on ? DPMSModeOn : DPMSModeOff);
    XFlush(display);
}
