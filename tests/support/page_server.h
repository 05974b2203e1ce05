#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

// A small HTTP server on 127.0.0.1 for tests: answers the pages it was given, 404 for
// anything else, and records every request with the time it came and its headers.
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
    // Served with an entity tag; a request that names the current tag gets 304.
    void addPage(const QString& path, const QByteArray& html) { pages_.insert(path, html); }
    // Answers the path (any query) with these bytes as they are: status line, headers
    // and body, after the delay, for error statuses, redirects, downloads, slow servers;
    // held open afterwards, for a page that never finishes loading.
    void addRawAnswer(const QString& path, const QByteArray& response, int delayMs = 0, bool holdOpen = false)
    {
        answers_.insert(path, {response, delayMs, holdOpen});
    }
    void removeRawAnswer(const QString& path) { answers_.remove(path); }
    bool listen() { return server_.listen(QHostAddress::LocalHost, 0); }
    QString url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }

    struct Request {
        QString path;
        qint64 receivedMs; // on elapsedMs()'s clock
        QString host;
        QString cookie;
        int status = 0; // of a page's answer
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
        const auto header = [&head](const QByteArray& name) {
            const qsizetype at = head.toLower().indexOf("\r\n" + name + ':');
            return at < 0 ? QByteArray()
                          : head.mid(at + name.size() + 3, head.indexOf('\r', at + 2) - at - name.size() - 3).trimmed();
        };
        if (target != u"/favicon.ico")
            requests_.append(
                {target, clock_.elapsed(), QString::fromUtf8(header("host")), QString::fromUtf8(header("cookie"))});
        const QString path = target.section(u'?', 0, 0);
        Answer answer{"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n", 0, false};
        if (answers_.contains(path)) {
            answer = answers_.value(path);
        } else if (pages_.contains(path)) {
            const QByteArray page = pages_.value(path);
            const QByteArray tag = '"' + QByteArray::number(qHash(page), 16) + '"';
            const bool unchanged = header("if-none-match") == tag;
            if (target != u"/favicon.ico")
                requests_.last().status = unchanged ? 304 : 200;
            answer.response = unchanged
                ? "HTTP/1.1 304 Not Modified\r\nETag: " + tag + "\r\nConnection: close\r\n\r\n"
                : "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nCache-Control: no-store\r\nETag: " + tag
                    + "\r\nContent-Length: " + QByteArray::number(page.size()) + "\r\nConnection: close\r\n\r\n" + page;
        }
        // The socket is the timer's context: a client that gives up takes the answer with it.
        QTimer::singleShot(answer.delayMs, socket, [socket, answer] {
            socket->write(answer.response);
            if (!answer.holdOpen)
                socket->disconnectFromHost();
        });
    }

    struct Answer {
        QByteArray response;
        int delayMs;
        bool holdOpen;
    };
    QTcpServer server_;
    QHash<QString, Answer> answers_;
    QHash<QString, QByteArray> pages_;
    QList<Request> requests_;
    QElapsedTimer clock_;
};
