#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;

// A small HTTP server on 127.0.0.1 for tests: answers the pages it was given,
// 404 for anything else, and records every request path with the time it came.
class PageServer final : public QObject {
    Q_OBJECT

public:
    explicit PageServer(QObject* parent = nullptr);
    ~PageServer() override;

    // Served with an entity tag; a request that names the current tag gets 304.
    void addPage(const QString& path, const QByteArray& html);
    // Answers the path (any query) with these bytes as they are: status line, headers
    // and body, after the delay, for error statuses, redirects, downloads, slow servers;
    // held open afterwards, for a page that never finishes loading.
    void addRawAnswer(const QString& path, const QByteArray& response, int delayMs = 0, bool holdOpen = false);
    void removeRawAnswer(const QString& path) { rawAnswers_.remove(path); }
    bool listen();
    QString url(const QString& path) const;

    struct Request {
        QString path;
        qint64 receivedMs;
        QString host; // the Host header as sent
        QString cookie; // the Cookie header as sent
        int status = 0; // of a page's answer
    };
    // The server's own clock, that receivedMs is read from.
    qint64 elapsedMs() const { return clock_.elapsed(); }
    QList<Request> requests() const { return requests_; }
    QStringList paths() const;

private:
    void answer(QTcpSocket* socket);

    QTcpServer* server_;
    QHash<QString, QByteArray> pages_;
    struct RawAnswer {
        QByteArray response;
        int delayMs;
        bool holdOpen;
    };
    QHash<QString, RawAnswer> rawAnswers_;
    QList<Request> requests_;
    QElapsedTimer clock_;
};
