#include "playlist/playlist_source.h"

#include "playlist/listed_pages.h"
#include "playlist/playlist_capacity.h"
#include "playlist/playlist_files.h"
#include "playlist/playlist_format.h"
#include "playlist/playlist_messages.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScopeGuard>
#include <QTimer>

#include <algorithm>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

// Enough to take a list in a few reads; the network stops reading while it is full, so
// an endless answer never piles up in memory.
constexpr qint64 kReadBufferSize = 256 * 1024;

QString limitInWords(std::chrono::milliseconds limit)
{
    if (limit.count() % 1000 == 0)
        return QStringLiteral("%1 seconds").arg(limit.count() / 1000);
    return QStringLiteral("%1 ms").arg(limit.count());
}

// Network error texts begin with a capital ("Connection refused"); they read better
// in the middle of a sentence without it.
QString inPlainWords(const QString& reason)
{
    if (reason.size() > 1 && reason.at(0).isUpper() && reason.at(1).isLower())
        return reason.at(0).toLower() + reason.sliced(1);
    return reason;
}

// The reasons Qt gives for these either say nothing ("Decompression failed: ") or
// name the wrong thing (a redirect loop ends on a 302 answer).
QString troubleWith(const QNetworkReply& reply)
{
    switch (reply.error()) {
    case QNetworkReply::NoError: return {};
    case QNetworkReply::TooManyRedirectsError: return QStringLiteral("too many redirects");
    case QNetworkReply::InsecureRedirectError:
        return QStringLiteral("the server sent it on from https to plain http, which is not followed");
    default: break;
    }
    if (reply.errorString().startsWith(QLatin1String("Decompression failed"), Qt::CaseInsensitive))
        return QStringLiteral("the server's compressed answer could not be unpacked");
    return {};
}

// A login page or a portal's notice, most likely: taken as a list, each of its lines
// would become an entry.
bool isWebPage(const QNetworkReply& reply, const QByteArray& body)
{
    const QString type = reply.header(QNetworkRequest::ContentTypeHeader).toString().section(u';', 0, 0).trimmed();
    if (type.compare(u"text/html", Qt::CaseInsensitive) == 0
        || type.compare(u"application/xhtml+xml", Qt::CaseInsensitive) == 0)
        return true;
    const QByteArray start = body.left(64).trimmed().toLower();
    return start.startsWith("<!doctype") || start.startsWith("<html");
}

} // namespace

PlaylistSource::PlaylistSource(QString origin, std::chrono::milliseconds fetchLimit)
    : origin_(std::move(origin))
    , fetchLimit_(fetchLimit)
{
}

PlaylistSource::~PlaylistSource() = default;

bool PlaylistSource::isAddress(const QString& origin)
{
    return origin.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || origin.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

PlaylistSource::Reading PlaylistSource::read()
{
    if (reading_)
        return {};
    reading_ = true;
    const auto done = qScopeGuard([this] { reading_ = false; });
    Reading reading = isAddress(origin_) ? fetch() : readFile();
    // A list read up to the size limit and refused leaves megabytes freed, in the
    // network's thread too; the C library keeps freed memory for later unless told, so
    // a wall screen fed one would hold its peak for good.
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
    return reading;
}

PlaylistSource::Reading PlaylistSource::readFile()
{
    // Size and time before and after: a file rewritten in place while it was read
    // may have been caught half-written.
    const QFileInfo before(origin_);
    const auto sizeBefore = before.size();
    const auto timeBefore = before.lastModified();

    const PlaylistFileRead read = readPlaylistFile(origin_);
    switch (read.outcome) {
    case PlaylistFileRead::Outcome::NoFile: return failed(QStringLiteral("there is no such file"));
    case PlaylistFileRead::Outcome::Failed: return failed(read.failure);
    case PlaylistFileRead::Outcome::Read: break;
    }
    const QFileInfo after(origin_);
    if (after.size() != sizeBefore || after.lastModified() != timeBefore)
        return failed(QStringLiteral("it changed while it was being read"));
    return accept(read.entries);
}

PlaylistSource::Reading PlaylistSource::fetch()
{
    if (!network_)
        network_ = std::make_unique<QNetworkAccessManager>();

    QNetworkRequest request{QUrl(origin_)};
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    // The size limit below, counted on the unpacked bytes as they are read, ends a
    // compressed bomb with a reason; Qt's own check ends it too, but says nothing why.
    request.setDecompressedSafetyCheckThreshold(-1);
    if (haveEntries_ && !entityTag_.isEmpty())
        request.setRawHeader("If-None-Match", entityTag_);
    if (haveEntries_ && !lastModified_.isEmpty())
        request.setRawHeader("If-Modified-Since", lastModified_);

    const std::unique_ptr<QNetworkReply> reply(network_->get(request));
    reply->setReadBufferSize(kReadBufferSize);
    QEventLoop wait;
    QTimer limit;
    limit.setSingleShot(true);
    // Taken as it arrives, decompressed, and given up once past the size limit, so a
    // huge answer or a compressed bomb is never held whole.
    QByteArray body;
    QString refusal;
    const auto refuse = [&](const QString& reason) {
        if (refusal.isEmpty()) {
            refusal = reason;
            reply->abort();
        }
    };
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, &wait, [&] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > kPlaylistSizeLimit)
            refuse(QLatin1String(kPlaylistTooLarge));
    });
    // A piece at a time: a compressed answer is unpacked only as far as it is read.
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &wait, [&] {
        while (refusal.isEmpty()) {
            const QByteArray piece = reply->read(std::min(kReadBufferSize, kPlaylistSizeLimit + 1 - body.size()));
            if (piece.isEmpty())
                break;
            body += piece;
            if (body.size() > kPlaylistSizeLimit)
                refuse(QLatin1String(kPlaylistTooLarge));
        }
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, &wait, &QEventLoop::quit);
    QObject::connect(&limit, &QTimer::timeout, &wait, &QEventLoop::quit);
    limit.start(fetchLimit_);
    wait.exec();
    if (!refusal.isEmpty())
        return failed(refusal);
    if (!reply->isFinished()) {
        reply->abort();
        return failed(QStringLiteral("no answer within ") + limitInWords(fetchLimit_));
    }
    if (const QString trouble = troubleWith(*reply); !trouble.isEmpty())
        return failed(trouble);

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 304 && haveEntries_)
        return accept(entries_);
    if (status >= 300) {
        const QString phrase = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        return failed(QStringLiteral("the server answered %1 %2").arg(status).arg(phrase).trimmed());
    }
    if (reply->error() != QNetworkReply::NoError)
        return failed(inPlainWords(reply->errorString()));
    if (isWebPage(*reply, body))
        return failed(QStringLiteral("the server answered with a web page, not a playlist"));
    if (!isPlaylistText(body))
        return failed(QLatin1String(kPlaylistNotText));

    // Against the address it finally came from, as a browser resolves a page's links.
    const ListedPages listed = pagesListedAt(reply->url(), playlistEntriesFromBytes(body));
    if (!listed.leftOut.isEmpty() && std::ranges::all_of(listed.pages, &QString::isEmpty))
        return failed(QStringLiteral("it names no http or https page, only ") + fewEntries(listed.leftOut));
    Reading reading = accept(listed.pages);
    if (reading.outcome != Reading::Outcome::Failed) {
        entityTag_ = reply->rawHeader("ETag");
        lastModified_ = reply->rawHeader("Last-Modified");
    }
    if (reading.outcome == Reading::Outcome::Changed && !listed.leftOut.isEmpty())
        reading.tell = playlistEntriesLeftOutMessage(origin_, listed.leftOut);
    return reading;
}

PlaylistSource::Reading PlaylistSource::accept(QStringList entries)
{
    // Most likely caught between being emptied and being written again.
    if (entries.isEmpty())
        return failed(QStringLiteral("it is empty"));
    failureTold_.clear();
    if (haveEntries_ && entries == entries_)
        return {};
    haveEntries_ = true;
    entries_ = entries;
    return {Reading::Outcome::Changed, std::move(entries), {}};
}

PlaylistSource::Reading PlaylistSource::failed(const QString& reason)
{
    const QString message = haveEntries_
        ? QStringLiteral("The playlist \"%1\" could not be read again: %2. The list stays as it was.")
              .arg(origin_, reason)
        : QStringLiteral("The playlist \"%1\" could not be read: %2.").arg(origin_, reason);
    Reading reading{Reading::Outcome::Failed, {}, {}};
    if (message != failureTold_)
        reading.tell = failureTold_ = message;
    return reading;
}
