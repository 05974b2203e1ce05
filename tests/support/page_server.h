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

    void addPage(const QString& path, const QByteArray& html);
    bool listen();
    QString url(const QString& path) const;

    struct Request {
        QString path;
        qint64 receivedMs;
    };
    QList<Request> requests() const { return requests_; }
    QStringList paths() const;

private:
    void answer(QTcpSocket* socket);

    QTcpServer* server_;
    QHash<QString, QByteArray> pages_;
    QList<Request> requests_;
    QElapsedTimer clock_;
};
