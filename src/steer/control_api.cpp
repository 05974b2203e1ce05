#include "steer/control_api.h"

#include "browse/rotation.h"
#include "browse/web_browser.h"
#include "platform/application_title.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaObject>
#include <QPixmap>
#include <QUrl>

namespace {

ControlReply json(int status, const QJsonObject& object)
{
    return {status, "application/json", QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n'};
}

ControlReply error(int status, const QString& why)
{
    return json(status, {{QStringLiteral("error"), why}});
}

// Compared in a time that does not tell how much of a guess was right.
bool sameSecret(const QByteArray& given, const QByteArray& secret)
{
    if (given.size() != secret.size())
        return false;
    char difference = 0;
    for (qsizetype i = 0; i < secret.size(); ++i)
        difference |= char(given[i] ^ secret[i]);
    return difference == 0;
}

bool namesLoopback(const QByteArray& host)
{
    // The port, if any, is whatever the client dialled.
    const QByteArray name = host.startsWith('[') ? host.left(host.indexOf(']') + 1) : host.split(':').first();
    return name == "127.0.0.1" || name == "localhost" || name == "[::1]";
}

QString stateName(Rotation::State state)
{
    switch (state) {
    case Rotation::State::Running: return QStringLiteral("running");
    case Rotation::State::Paused: return QStringLiteral("paused");
    case Rotation::State::Dark: return QStringLiteral("dark");
    case Rotation::State::Stopped: break;
    }
    return QStringLiteral("stopped");
}

} // namespace

ControlApi::ControlApi(Rotation& rotation, WebBrowser& browser, WindowCommands window,
                       std::function<QStringList()> entries, Access access, QObject* parent)
    : QObject(parent)
    , rotation_(rotation)
    , browser_(browser)
    , window_(std::move(window))
    , entries_(std::move(entries))
    , access_(std::move(access))
{
    connect(&rotation_, &Rotation::entryOnScreen, this, [this](int index, int count, const QString& address) {
        index_ = index, count_ = count, address_ = address;
        since_ = QDateTime::currentDateTimeUtc();
    });
    connect(&browser_, &WebBrowser::cardShown, this, [this](const QString& reason) { cardReason_ = reason; });
}

ControlReply ControlApi::handle(const ControlRequest& request)
{
    if (const ControlReply refused = refuseUnlessAllowed(request); refused.status != 200)
        return refused;
    const QByteArray path = request.path.split('?').first();
    if (request.method == "GET") {
        if (path == "/status")
            return {200, "application/json", status()};
        if (path == "/playlist")
            return json(200, {{QStringLiteral("entries"), QJsonArray::fromStringList(entries_())}});
        if (path == "/screenshot.png")
            return {200, "image/png", screenshot()};
    } else if (request.method == "POST") {
        return command(path, request.body);
    }
    return error(request.method == "GET" ? 404 : 405, QStringLiteral("GET a state, POST a command"));
}

ControlReply ControlApi::refuseUnlessAllowed(const ControlRequest& request) const
{
    // A browser names the page a request comes from; a script on a page can send no
    // request without it, whatever address it found the server by.
    if (request.headers.contains("origin") || request.headers.value("sec-fetch-site", "none") != "none")
        return error(403, QStringLiteral("requests from web pages are refused"));
    if (!access_.token.isEmpty()) {
        const QByteArray given = request.headers.value("authorization");
        if (!given.startsWith("Bearer ") || !sameSecret(given.mid(7).trimmed(), access_.token))
            return error(401, QStringLiteral("a request must carry the token: Authorization: Bearer TOKEN"));
    }
    // Without a token, a page in a browser here could reach us by a name of its own
    // that resolves to this machine.
    if (access_.loopback && access_.token.isEmpty() && !namesLoopback(request.headers.value("host")))
        return error(403, QStringLiteral("the Host header must name this machine's loopback address"));
    return {};
}

ControlReply ControlApi::command(const QByteArray& path, const QByteArray& body)
{
    const bool stopped = rotation_.state() == Rotation::State::Stopped;
    const auto done = [this] { return ControlReply{200, "application/json", status()}; };
    if (path == "/start" || path == "/stop") {
        if ((path == "/start") != stopped)
            return error(409, stopped ? QStringLiteral("not running") : QStringLiteral("already running"));
        // A run holds its caller until it ends: it starts after the answer.
        QMetaObject::invokeMethod(this, path == "/start" ? window_.start : window_.stop, Qt::QueuedConnection);
        return json(200, {{QStringLiteral("state"), path == "/start" ? "starting" : "stopping"}});
    }
    const QHash<QByteArray, std::function<void()>> steps{
        {"/next", [this] { rotation_.next(); }},       {"/previous", [this] { rotation_.previous(); }},
        {"/pause", [this] { rotation_.pause(); }},     {"/resume", [this] { rotation_.resume(); }},
        {"/reload", [this] { browser_.reload(); }}};
    if (steps.contains(path)) {
        if (stopped)
            return error(409, QStringLiteral("not running"));
        steps.value(path)();
        return done();
    }
    if (path != "/show")
        return error(404, QStringLiteral("no such command"));
    const QJsonObject asked = QJsonDocument::fromJson(body).object();
    const QUrl url(asked.value(QStringLiteral("url")).toString(), QUrl::StrictMode);
    const int seconds = asked.value(QStringLiteral("seconds")).toInt(0);
    // Web pages only: steering must not put a local file on the screen.
    if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
        return error(400, QStringLiteral("show takes {\"url\": an http or https address, \"seconds\": 1 to 86400}"));
    if (stopped)
        return error(409, QStringLiteral("not running"));
    rotation_.showNow(url.toString(), seconds > 0 ? std::optional(std::min(seconds, 86400)) : std::nullopt);
    return done();
}

QByteArray ControlApi::status() const
{
    QJsonObject object{{QStringLiteral("state"), stateName(rotation_.state())},
                       {QStringLiteral("passes"), rotation_.PassCount},
                       {QStringLiteral("version"), applicationVersion()},
                       {QStringLiteral("card"), cardReason_.isEmpty() ? QJsonValue() : QJsonValue(cardReason_)}};
    if (!address_.isEmpty())
        object.insert(QStringLiteral("entry"),
                      QJsonObject{{QStringLiteral("index"), index_},
                                  {QStringLiteral("count"), count_},
                                  {QStringLiteral("address"), address_},
                                  {QStringLiteral("title"), browser_.title()},
                                  {QStringLiteral("since"), since_.toString(Qt::ISODateWithMs)},
                                  {QStringLiteral("next"), rotation_.dwellEndsAt().toUTC().toString(Qt::ISODate)}});
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray ControlApi::screenshot() const
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    browser_.grab().save(&buffer, "PNG");
    return png;
}
