#pragma once

#include <QDateTime>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

// A small HTTP server on 127.0.0.1 for tests: answers the pages it was given, 404 for
// anything else, and records every request.
class PageServer final : public QObject {
public:
    PageServer()
    {
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = server_.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        });
    }
    // Served with an entity tag, as text/plain when the path ends in .txt, else as
    // text/html; a request that names the current tag gets 304.
    void addPage(const QString& path, const QByteArray& html) { pages_.insert(path, html); }
    // Answers the path (any query) with these bytes as they are, status line and headers
    // included, after the delay: error statuses, downloads, slow servers.
    void addRawAnswer(const QString& path, const QByteArray& raw, int delay = 0) { answers_[path] = {raw, delay}; }
    void removeRawAnswer(const QString& path) { answers_.remove(path); }
    bool listen() { return server_.listen(QHostAddress::LocalHost, 0); }
    QString url(QString path) const { return "http://127.0.0.1:" + QString::number(server_.serverPort()) + path; }

    // The status is a page's answer, 200 or 304; 0 for a raw answer or a 404.
    struct Request {
        QString path, cookie;
        int status;
    };
    QList<Request> requests() const { return requests_; }
    QStringList paths() const { return paths_; }
    // When each of them came, in milliseconds since the epoch.
    QList<qint64> times() const { return times_; }

private:
    void answer(QTcpSocket* socket)
    {
        if (!socket->peek(socket->bytesAvailable()).contains("\r\n\r\n"))
            return;
        const QString head = QString::fromUtf8(socket->readAll());
        const auto header = [&head](const QString& name) {
            const QString from = head.section("\r\n" + name + ':', 1, 1, QString::SectionCaseInsensitiveSeps);
            return from.section(u'\r', 0, 0).trimmed();
        };
        const QString target = head.section(u' ', 1, 1), path = target.section(u'?', 0, 0);
        auto [response, delayMs]
            = answers_.value(path, {"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n", 0});
        int status = 0;
        if (!answers_.contains(path) && pages_.contains(path)) {
            const QByteArray page = pages_.value(path), tag = '"' + QByteArray::number(qHash(page), 16) + '"';
            const QByteArray type = path.endsWith(u".txt") ? "text/plain" : "text/html";
            status = header("if-none-match") == QLatin1String(tag) ? 304 : 200;
            response = status == 304 ? "HTTP/1.1 304 Not Modified\r\nETag: " + tag + "\r\nConnection: close\r\n\r\n"
                                     : "HTTP/1.1 200 OK\r\nContent-Type: " + type
                    + "; charset=utf-8\r\nCache-Control: no-store\r\nETag: " + tag
                    + "\r\nContent-Length: " + QByteArray::number(page.size()) + "\r\nConnection: close\r\n\r\n" + page;
        }
        if (path != u"/favicon.ico")
            requests_.append({target, header("cookie"), status}), paths_.append(target),
                times_.append(QDateTime::currentMSecsSinceEpoch());
        // The socket is the timer's context: a client that gives up takes the answer with it.
        QTimer::singleShot(delayMs, socket, [socket, response] {
            socket->write(response);
            socket->disconnectFromHost();
        });
    }

    QTcpServer server_;
    QHash<QString, std::pair<QByteArray, int>> answers_;
    QHash<QString, QByteArray> pages_;
    QList<Request> requests_;
    QStringList paths_;
    QList<qint64> times_;
};
