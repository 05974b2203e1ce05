#include "platform/screen_keeper.h"

#include "platform/application_title.h"
#include "platform/x_screen_saver_suspension.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>

#include <utility>

namespace {

QDBusMessage callToScreenSaverService(const QString& method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                          QStringLiteral("/org/freedesktop/ScreenSaver"),
                                          QStringLiteral("org.freedesktop.ScreenSaver"), method);
}

// Each call is waited for, so that a hold is in place when the first page shows and a
// release is out before the program ends. A desktop answers in a millisecond; this
// bounds the wait on one that does not.
constexpr int kAnswerTimeoutMs = 2000;

} // namespace

DesktopScreenKeeper::DesktopScreenKeeper() = default;

DesktopScreenKeeper::~DesktopScreenKeeper() = default;

void DesktopScreenKeeper::hold()
{
    if (held_)
        return;
    held_ = true;
    if (!serviceMissing_) {
        QDBusMessage inhibit = callToScreenSaverService(QStringLiteral("Inhibit"));
        inhibit << applicationTitle() << QStringLiteral("Showing a playlist of pages");
        const QDBusReply<quint32> cookie = QDBusConnection::sessionBus().call(inhibit, QDBus::Block, kAnswerTimeoutMs);
        if (cookie.isValid()) {
            cookie_ = cookie.value();
            return;
        }
        // No session bus, or no such service on it (or none that answers).
        serviceMissing_ = true;
    }
    suspendXScreenSaver(true);
}

void DesktopScreenKeeper::release()
{
    if (!held_)
        return;
    held_ = false;
    if (cookie_) {
        QDBusMessage unInhibit = callToScreenSaverService(QStringLiteral("UnInhibit"));
        unInhibit << quint32(*std::exchange(cookie_, std::nullopt));
        QDBusConnection::sessionBus().call(unInhibit, QDBus::Block, kAnswerTimeoutMs);
    }
    suspendXScreenSaver(false);
}

void DesktopScreenKeeper::suspendXScreenSaver(bool on)
{
    if (!xScreenSaver_) {
        if (!on)
            return;
        xScreenSaver_ = std::make_unique<XScreenSaverSuspension>();
    }
    xScreenSaver_->suspend(on);
}
