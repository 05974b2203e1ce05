#pragma once

#include "steer/control_server.h"
#include "steer/media_player_bus.h"

#include <QDateTime>
#include <QObject>

#include <functional>

class Rotation;
class WebBrowser;

// The rotation steered over HTTP: GET /status, /playlist and /screenshot.png; POST
// /next, /previous, /pause, /resume, /reload, /stop, /start and /show. Only a client
// of the machine's own may steer it, or one that carries the token: a web page, in this
// program or in a browser on the same machine, never can.
class ControlApi final : public QObject {
    Q_OBJECT

public:
    struct Access {
        // Empty: no token, and only loopback clients naming loopback in their Host.
        QByteArray token;
        bool loopback = true;
    };

    ControlApi(Rotation& rotation, WebBrowser& browser, WindowCommands window,
               std::function<QStringList()> entries, Access access, QObject* parent = nullptr);

    ControlReply handle(const ControlRequest& request);

private:
    ControlReply refuseUnlessAllowed(const ControlRequest& request) const;
    ControlReply command(const QByteArray& path, const QByteArray& body);
    QByteArray status() const;
    QByteArray screenshot() const;

    Rotation& rotation_;
    WebBrowser& browser_;
    WindowCommands window_;
    std::function<QStringList()> entries_;
    Access access_;

    // The entry on the screen, as the rotation last said, and the card's reason if one shows.
    int index_ = -1, count_ = 0;
    QString address_;
    QDateTime since_;
    QString cardReason_;
};
