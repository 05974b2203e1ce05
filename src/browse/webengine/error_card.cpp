#include "browse/webengine/error_card.h"

#include <QDateTime>

namespace {

// Network error numbers as the engine reports them.
enum NetError {
    FileNotFound = -6,
    TimedOut = -7,
    AccessDenied = -10,
    ConnectionClosed = -100,
    ConnectionReset = -101,
    ConnectionRefused = -102,
    ConnectionAborted = -103,
    NameNotResolved = -105,
    InternetDisconnected = -106,
    AddressUnreachable = -109,
    ConnectionTimedOut = -118,
    NameResolutionFailed = -137,
    EmptyResponse = -324,
};

} // namespace

QString cardHtml(const QString& headline, const QString& address, const QStringList& lines)
{
    // A whole address can be kilobytes long; the start says which page it is.
    const QString shownAddress = address.size() > 200 ? address.left(200) + QStringLiteral("…") : address;
    QString paragraphs;
    for (const QString& line : lines)
        paragraphs += QStringLiteral("<p>%1</p>").arg(line.toHtmlEscaped());
    // Sizes follow the screen's width, so the card reads the same on a laptop and a wall.
    return QStringLiteral(
               "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title><style>"
               "html,body{height:100%;margin:0}"
               "body{box-sizing:border-box;padding:0 6vw;display:flex;flex-direction:column;justify-content:center;"
               "background:%4;color:#f4f4f4;font-family:sans-serif}"
               "h1{font-size:6vw;margin:0 0 4vh}"
               ".address{font-size:3vw;color:#a8c8ec;word-break:break-all}"
               "p{font-size:4vw;margin:0 0 3vh}"
               "</style></head><body><h1>%1</h1><p class=\"address\">%2</p>%3</body></html>")
        .arg(headline.toHtmlEscaped(), shownAddress.toHtmlEscaped(), paragraphs, kCardBackground.name());
}

namespace {

QString timeOfDay(const QDateTime& moment)
{
    return moment.toLocalTime().toString(QStringLiteral("HH:mm:ss"));
}

} // namespace

QString reasonInWords(QWebEngineLoadingInfo::ErrorDomain domain, int code, const QString& engineText)
{
    if (domain == QWebEngineLoadingInfo::HttpStatusCodeDomain)
        return QStringLiteral("The server answered with error %1 and an empty page.").arg(code);
    if (domain == QWebEngineLoadingInfo::CertificateErrorDomain)
        return QStringLiteral("The server's certificate is not trusted, so the page was refused.");
    switch (code) {
    case NameNotResolved:
    case NameResolutionFailed: return QStringLiteral("The server's name could not be found.");
    case ConnectionRefused: return QStringLiteral("The server refused the connection.");
    case ConnectionReset:
    case ConnectionAborted: return QStringLiteral("The connection to the server was broken off.");
    case ConnectionClosed:
    case EmptyResponse: return QStringLiteral("The server closed the connection without answering.");
    case TimedOut:
    case ConnectionTimedOut: return QStringLiteral("The server did not answer in time.");
    case InternetDisconnected: return QStringLiteral("This computer is not connected to a network.");
    case AddressUnreachable: return QStringLiteral("The server cannot be reached from this network.");
    case FileNotFound: return QStringLiteral("The file does not exist.");
    case AccessDenied: return QStringLiteral("The file cannot be read.");
    default: return QStringLiteral("The page could not be loaded (%1).").arg(engineText);
    }
}

QString failureCardHtml(const QString& address, const QString& reason, const QDateTime& attempted)
{
    return cardHtml(QStringLiteral("This page cannot be shown"), address,
                    {reason, QStringLiteral("Tried at %1.").arg(timeOfDay(attempted))});
}

QString waitingCardHtml(const QString& address, const QDateTime& since)
{
    return cardHtml(QStringLiteral("Still waiting for this page"), address,
                    {QStringLiteral("Nothing has come from the server since %1.").arg(timeOfDay(since))});
}
