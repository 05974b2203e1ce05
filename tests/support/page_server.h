#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

// A small HTTP server on 127.0.0.1 for tests: answers the pages it was given, 404 for
// anything else, and records every request with the time it came and its Host header.
class PageServer final : public QObject {
public:
    PageServer()
    {
        clock_.start();
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    void addPage(const QString& path, const QByteArray& html)
    {
        addRawAnswer(path, "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: "
                               + QByteArray::number(html.size()) + "\r\nConnection: close\r\n\r\n" + html);
    }
    // Answers the path (any query) with these bytes as they are: status line, headers
    // and body, after the delay, for error statuses, redirects, downloads, slow servers.
    void addRawAnswer(const QString& path, const QByteArray& response, int delayMs = 0)
    {
        answers_.insert(path, {response, delayMs});
    }
    bool listen() { return server_.listen(QHostAddress::LocalHost, 0); }
    QString url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }

    struct Request {
        QString path;
        qint64 receivedMs; // on elapsedMs()'s clock
        QString host;
    };
    qint64 elapsedMs() const { return clock_.elapsed(); }
    QList<Request> requests() const { return requests_; }
    QStringList paths() const
    {
        QStringList result;
        for (const Request& request : requests_)
            result << request.path;
        return result;
    }

private:
    void answer(QTcpSocket* socket)
    {
        const QByteArray head = socket->peek(socket->bytesAvailable());
        if (!head.contains("\r\n\r\n"))
            return;
        socket->readAll();
        const QString target = QString::fromUtf8(head.split(' ').value(1));
        const qsizetype host = head.toLower().indexOf("\r\nhost:") + 7;
        const QByteArray hostName = head.mid(host, head.indexOf('\r', host) - host).trimmed();
        if (target != u"/favicon.ico")
            requests_.append({target, clock_.elapsed(), QString::fromUtf8(hostName)});
        const auto [response, delayMs] = answers_.value(
            target.section(u'?', 0, 0), {"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n", 0});
        // The socket is the timer's context: a client that gives up takes the answer with it.
        QTimer::singleShot(delayMs, socket, [socket, response] {
            socket->write(response);
            socket->disconnectFromHost();
        });
    }

    QTcpServer server_;
    QHash<QString, std::pair<QByteArray, int>> answers_;
    QList<Request> requests_;
    QElapsedTimer clock_;
};
