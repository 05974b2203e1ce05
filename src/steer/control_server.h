#pragma once

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

#include <functional>

// One request as the steering server read it: header names in lower case.
struct ControlRequest {
    QByteArray method, path;
    QHash<QByteArray, QByteArray> headers;
    QByteArray body;
};

struct ControlReply {
    int status = 200;
    QByteArray contentType = "application/json";
    QByteArray body;
};

// A small HTTP server for steering: one request a connection, answered at once and
// closed. Whatever comes is held to small limits before any of it is kept: a head of
// 8 KiB, a body of 64 KiB, five seconds to send them.
class ControlServer final : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<ControlReply(const ControlRequest&)>;

    explicit ControlServer(Handler handler, QObject* parent = nullptr);

    // False, with the reason in errorString(), when the address cannot be had.
    bool listen(const QHostAddress& address, quint16 port);
    QString errorString() const { return server_.errorString(); }
    quint16 port() const { return server_.serverPort(); }

private:
    void read(QTcpSocket* socket);
    static void answer(QTcpSocket* socket, const ControlReply& reply);

    Handler handler_;
    QTcpServer server_;
};
