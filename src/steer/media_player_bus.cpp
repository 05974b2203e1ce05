#include "steer/media_player_bus.h"

#include "browse/web_browser.h"
#include "platform/application_title.h"
#include "steer/media_player_interfaces.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QUrl>

#include <cstdio>

namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

} // namespace

MediaPlayerBus::MediaPlayerBus(Rotation& rotation, WebBrowser& browser, WindowCommands window)
    : rotation_(rotation)
    , browser_(browser)
    , window_(std::move(window))
{
    new MediaPlayerRoot(this);
    new MediaPlayerControls(this);
    connect(&rotation_, &Rotation::entryOnScreen, this,
            [this](int, int, const QString& address) { entryOnScreen(address); });
    connect(&rotation_, &Rotation::stateChanged, this, [this] {
        const bool canSteer = running();
        announce({{QStringLiteral("PlaybackStatus"), playbackStatus()},
                  {QStringLiteral("CanGoNext"), canSteer},
                  {QStringLiteral("CanGoPrevious"), canSteer},
                  {QStringLiteral("CanPause"), canSteer}});
    });
    connect(&browser_, &WebBrowser::titleChanged, this, [this](const QString& title) {
        if (metadata_.isEmpty() || title.isEmpty())
            return;
        metadata_.insert(QStringLiteral("xesam:title"), title);
        announce({{QStringLiteral("Metadata"), metadata_}});
    });
}

bool MediaPlayerBus::publish()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fputs("veltrase: no session bus, so no media controls: the rest works as usual\n", stderr);
        return false;
    }
    const QString name = QStringLiteral("org.mpris.MediaPlayer2.veltrase");
    // A second screen's program on the same desktop keeps the first one's name free.
    if (!bus.registerService(name)
        && !bus.registerService(name + QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid()))) {
        std::fprintf(stderr, "veltrase: no media controls: %s\n", qUtf8Printable(bus.lastError().message()));
        return false;
    }
    return bus.registerObject(kObjectPath, this);
}

QString MediaPlayerBus::playbackStatus() const
{
    switch (rotation_.state()) {
    case Rotation::State::Running: return QStringLiteral("Playing");
    // Dark for the night is a pause that the clock ends.
    case Rotation::State::Paused:
    case Rotation::State::Dark: return QStringLiteral("Paused");
    case Rotation::State::Stopped: break;
    }
    return QStringLiteral("Stopped");
}

void MediaPlayerBus::entryOnScreen(const QString& address)
{
    // A track id is unique while the program runs: the same entry shown again is a new
    // track, as a song played again is.
    metadata_ = {
        {QStringLiteral("mpris:trackid"),
         QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/veltrase/page/%1").arg(++tracks_)))},
        {QStringLiteral("xesam:url"), address},
        {QStringLiteral("xesam:title"), address},
    };
    // Preloaded, the page is on the screen already, its title known.
    if (const QString title = browser_.title(); rotation_.preloading() && !title.isEmpty())
        metadata_.insert(QStringLiteral("xesam:title"), title);
    announce({{QStringLiteral("Metadata"), metadata_}});
}

void MediaPlayerBus::announce(const QVariantMap& changed)
{
    QDBusMessage signal = QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}
