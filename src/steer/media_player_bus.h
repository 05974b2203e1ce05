#pragma once

#include "browse/rotation.h"

#include <QObject>
#include <QVariantMap>

#include <functional>

class WebBrowser;

// What the media controls may ask of the window itself: a run started or stopped as
// Start and Stop would, and the program ended as Exit would.
struct WindowCommands {
    std::function<void()> start, stop, quit;
};

// The rotation on the session bus as a media player (MPRIS 2), so that media keys, the
// desktop's media panel and tools such as playerctl steer it: each page is a track.
class MediaPlayerBus final : public QObject {
    Q_OBJECT

public:
    MediaPlayerBus(Rotation& rotation, WebBrowser& browser, WindowCommands window);

    // Takes the player's name on the session bus (a second instance adds its process
    // number, as the standard asks); false, said on standard error, without a bus.
    bool publish();

    // What the player's interfaces read and do.
    Rotation& rotation() { return rotation_; }
    const WindowCommands& window() const { return window_; }
    QString playbackStatus() const;
    QVariantMap metadata() const { return metadata_; }
    bool running() const { return rotation_.state() != Rotation::State::Stopped; }

private:
    void entryOnScreen(const QString& address);
    // Tells listeners on the bus what changed, as the standard's property signal.
    void announce(const QVariantMap& changed);

    Rotation& rotation_;
    WebBrowser& browser_;
    WindowCommands window_;
    QVariantMap metadata_;
    quint64 tracks_ = 0;
};
