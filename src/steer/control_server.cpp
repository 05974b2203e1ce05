#include "steer/control_server.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

constexpr qsizetype kLongestHead = 8 * 1024;
constexpr qsizetype kLongestBody = 64 * 1024;
constexpr int kSecondsToSend = 5;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 409: return "Conflict";
    case 413: return "Content Too Large";
    case 431: return "Request Header Fields Too Large";
    default: return "Error";
    }
}

ControlReply refusal(int status, const char* why)
{
    return {status, "application/json", QByteArray("{\"error\":\"") + why + "\"}\n"};
}

} // namespace

ControlServer::ControlServer(Handler handler, QObject* parent)
    : QObject(parent)
    , handler_(std::move(handler))
{
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            socket->setReadBufferSize(kLongestHead + kLongestBody + 1);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            // A client that sends nothing, or too slowly, loses its connection.
            QTimer::singleShot(kSecondsToSend * 1000, socket, [socket] { socket->abort(); });
        }
    });
}

bool ControlServer::listen(const QHostAddress& address, quint16 port)
{
    return server_.listen(address, port);
}

void ControlServer::read(QTcpSocket* socket)
{
    if (socket->property("answered").toBool())
        return;
    const QByteArray waiting = socket->peek(kLongestHead + kLongestBody + 1);
    const qsizetype headEnd = waiting.indexOf("\r\n\r\n");
    if (headEnd < 0) {
        if (waiting.size() > kLongestHead)
            answer(socket, refusal(431, "the request's head is larger than 8 KiB"));
        return;
    }
    if (headEnd > kLongestHead) {
        answer(socket, refusal(431, "the request's head is larger than 8 KiB"));
        return;
    }
    ControlRequest request;
    const QList<QByteArray> lines = waiting.left(headEnd).split('\n');
    const QList<QByteArray> start = lines.first().trimmed().split(' ');
    if (start.size() != 3 || !start[2].startsWith("HTTP/1.")) {
        answer(socket, refusal(400, "not an HTTP request"));
        return;
    }
    request.method = start[0];
    request.path = start[1];
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
    }
    bool isNumber = true;
    const QByteArray lengthText = request.headers.value("content-length", "0");
    const qlonglong length = lengthText.toLongLong(&isNumber);
    if (!isNumber || length < 0 || request.headers.contains("transfer-encoding")) {
        answer(socket, refusal(400, "a body must come with its length"));
        return;
    }
    if (length > kLongestBody) {
        answer(socket, refusal(413, "the body is larger than 64 KiB"));
        return;
    }
    if (waiting.size() < headEnd + 4 + length)
        return;
    request.body = waiting.mid(headEnd + 4, length);
    answer(socket, handler_(request));
}

void ControlServer::answer(QTcpSocket* socket, const ControlReply& reply)
{
    socket->setProperty("answered", true);
    socket->write("HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status)
                  + "\r\nContent-Type: " + reply.contentType + "\r\nContent-Length: "
                  + QByteArray::number(reply.body.size()) + "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n"
                  + reply.body);
    socket->disconnectFromHost();
}
