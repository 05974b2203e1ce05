#include "steer/media_player_interfaces.h"

#include "platform/application_title.h"
#include "steer/media_player_bus.h"

#include <QMetaObject>
#include <QUrl>

MediaPlayerRoot::MediaPlayerRoot(MediaPlayerBus* player)
    : QDBusAbstractAdaptor(player)
    , player_(player)
{
}

QString MediaPlayerRoot::identity() const
{
    return applicationTitle();
}

void MediaPlayerRoot::Quit()
{
    // After the answer: ending the program inside the call would leave the caller waiting.
    QMetaObject::invokeMethod(player_, player_->window().quit, Qt::QueuedConnection);
}

MediaPlayerControls::MediaPlayerControls(MediaPlayerBus* player)
    : QDBusAbstractAdaptor(player)
    , player_(player)
{
}

QString MediaPlayerControls::playbackStatus() const
{
    return player_->playbackStatus();
}

QVariantMap MediaPlayerControls::metadata() const
{
    return player_->metadata();
}

bool MediaPlayerControls::running() const
{
    return player_->running();
}

void MediaPlayerControls::Next()
{
    player_->rotation().next();
}

void MediaPlayerControls::Previous()
{
    player_->rotation().previous();
}

void MediaPlayerControls::Pause()
{
    player_->rotation().pause();
}

void MediaPlayerControls::PlayPause()
{
    if (player_->rotation().state() == Rotation::State::Running)
        Pause();
    else
        Play();
}

void MediaPlayerControls::Stop()
{
    if (player_->running())
        player_->window().stop();
}

void MediaPlayerControls::Play()
{
    if (player_->rotation().state() == Rotation::State::Paused)
        player_->rotation().resume();
    else if (!player_->running())
        // A run holds its caller until it ends: it starts after the answer.
        QMetaObject::invokeMethod(player_, player_->window().start, Qt::QueuedConnection);
}

void MediaPlayerControls::OpenUri(const QString& uri)
{
    // Web pages only: the bus must not make the screen show a local file.
    const QString scheme = QUrl(uri).scheme();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        player_->rotation().showNow(uri);
}
