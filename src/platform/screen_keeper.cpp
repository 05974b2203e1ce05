#include "platform/screen_keeper.h"

#include "platform/application_title.h"
#include "platform/x_screen_saver_suspension.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QGuiApplication>
#include <QVariantMap>

#include <cstdio>
#include <utility>

namespace {

QDBusMessage callToScreenSaverService(const QString& method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                          QStringLiteral("/org/freedesktop/ScreenSaver"),
                                          QStringLiteral("org.freedesktop.ScreenSaver"), method);
}

QDBusMessage callToPortal(const QString& path, const QString& interface, const QString& method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.portal.Desktop"), path, interface, method);
}

// What the portal's inhibitor is asked to hold off: the session going idle, which is
// what blanks the screen and starts its lock.
constexpr quint32 kInhibitIdle = 8;

// Each call is waited for, so that a hold is in place when the first page shows and a
// release is out before the program ends. A desktop answers in a millisecond; this
// bounds the wait on one that does not.
constexpr int kAnswerTimeoutMs = 2000;

} // namespace

DesktopScreenKeeper::DesktopScreenKeeper(std::function<void(const QString&)> tell)
    : tell_(tell ? std::move(tell) : [](const QString& text) {
        std::fprintf(stderr, "veltrase: %s\n", qUtf8Printable(text));
    })
{
}

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
    if (!portalMissing_) {
        if (holdThroughPortal())
            return;
        portalMissing_ = true;
    }
    // Xwayland's screen saver would not hold off a Wayland desktop's blanking.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        suspendXScreenSaver(true);
    } else if (!std::exchange(told_, true)) {
        tell_(QStringLiteral("--keep-screen-on: this desktop offers no way to keep the screen on (no "
                             "org.freedesktop.ScreenSaver, no portal inhibitor on the session bus); "
                             "turn its screen blanking off instead"));
    }
}

bool DesktopScreenKeeper::holdThroughPortal()
{
    QDBusMessage inhibit = callToPortal(QStringLiteral("/org/freedesktop/portal/desktop"),
                                        QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"));
    inhibit << QString() << kInhibitIdle
            << QVariantMap{{QStringLiteral("reason"), QStringLiteral("Showing a playlist of pages")}};
    const QDBusReply<QDBusObjectPath> request = QDBusConnection::sessionBus().call(inhibit, QDBus::Block, kAnswerTimeoutMs);
    if (!request.isValid())
        return false;
    portalRequest_ = request.value().path();
    return true;
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
    if (!portalRequest_.isEmpty()) {
        const QDBusMessage close = callToPortal(std::exchange(portalRequest_, QString()),
                                                QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Close"));
        QDBusConnection::sessionBus().call(close, QDBus::Block, kAnswerTimeoutMs);
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
