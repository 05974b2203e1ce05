#include "support/page_server.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

PageServer::PageServer(QObject* parent)
    : QObject(parent)
    , server_(new QTcpServer(this))
{
    clock_.start();
    connect(server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

PageServer::~PageServer() = default;

void PageServer::addPage(const QString& path, const QByteArray& html)
{
    pages_.insert(path, html);
}

void PageServer::addRawAnswer(const QString& path, const QByteArray& response, int delayMs, bool holdOpen)
{
    rawAnswers_.insert(path, {response, delayMs, holdOpen});
}

bool PageServer::listen()
{
    return server_->listen(QHostAddress::LocalHost, 0);
}

QString PageServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(server_->serverPort()).arg(path);
}

QStringList PageServer::paths() const
{
    QStringList result;
    for (const Request& request : requests_)
        result << request.path;
    return result;
}

void PageServer::answer(QTcpSocket* socket)
{
    const QByteArray head = socket->peek(socket->bytesAvailable());
    if (!head.contains("\r\n\r\n"))
        return;
    socket->readAll();
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QString target = requestLine.size() > 1 ? QString::fromUtf8(requestLine.at(1)) : QString();
    if (target == QLatin1String("/favicon.ico")) {
        socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        socket->disconnectFromHost();
        return;
    }
    QString host;
    QString cookie;
    QByteArray ifNoneMatch;
    for (const QByteArray& line : head.left(head.indexOf("\r\n\r\n")).split('\n')) {
        if (line.toLower().startsWith("host:"))
            host = QString::fromUtf8(line.mid(5).trimmed());
        if (line.toLower().startsWith("cookie:"))
            cookie = QString::fromUtf8(line.mid(7).trimmed());
        if (line.toLower().startsWith("if-none-match:"))
            ifNoneMatch = line.mid(14).trimmed();
    }
    requests_.append({target, clock_.elapsed(), host, cookie});
    const QString path = target.section(QLatin1Char('?'), 0, 0);
    if (const auto raw = rawAnswers_.constFind(path); raw != rawAnswers_.constEnd()) {
        // The socket is the timer's context: a client that gives up takes the answer with it.
        QTimer::singleShot(raw->delayMs, socket, [socket, response = raw->response, holdOpen = raw->holdOpen] {
            socket->write(response);
            if (!holdOpen)
                socket->disconnectFromHost();
        });
        return;
    }
    const auto page = pages_.constFind(path);
    QByteArray response;
    if (page == pages_.constEnd()) {
        response = "HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: 9\r\nConnection: close\r\n\r\nnot found";
    } else {
        const QByteArray tag = '"' + QByteArray::number(qHash(*page), 16) + '"';
        requests_.last().status = ifNoneMatch == tag ? 304 : 200;
        response = ifNoneMatch == tag ? "HTTP/1.1 304 Not Modified\r\nETag: " + tag + "\r\nConnection: close\r\n\r\n"
                                      : "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nCache-Control: no-store\r\nETag: "
                + tag + "\r\nContent-Length: " + QByteArray::number(page->size()) + "\r\nConnection: close\r\n\r\n" + *page;
    }
    socket->write(response);
    socket->disconnectFromHost();
}
