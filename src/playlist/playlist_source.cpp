#include "playlist/playlist_source.h"

#include "playlist/playlist_files.h"
#include "playlist/playlist_format.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScopeGuard>
#include <QTimer>

namespace {

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
    return isAddress(origin_) ? fetch() : readFile();
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
    if (haveEntries_ && !entityTag_.isEmpty())
        request.setRawHeader("If-None-Match", entityTag_);
    if (haveEntries_ && !lastModified_.isEmpty())
        request.setRawHeader("If-Modified-Since", lastModified_);

    const std::unique_ptr<QNetworkReply> reply(network_->get(request));
    QEventLoop wait;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(reply.get(), &QNetworkReply::finished, &wait, &QEventLoop::quit);
    QObject::connect(&limit, &QTimer::timeout, &wait, &QEventLoop::quit);
    limit.start(fetchLimit_);
    wait.exec();
    if (!reply->isFinished()) {
        reply->abort();
        return failed(QStringLiteral("no answer within ") + limitInWords(fetchLimit_));
    }

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 304 && haveEntries_)
        return accept(entries_);
    if (status >= 300) {
        const QString phrase = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        return failed(QStringLiteral("the server answered %1 %2").arg(status).arg(phrase).trimmed());
    }
    if (reply->error() != QNetworkReply::NoError)
        return failed(inPlainWords(reply->errorString()));

    const Reading reading = accept(playlistEntriesFromBytes(reply->readAll()));
    if (reading.outcome != Reading::Outcome::Failed) {
        entityTag_ = reply->rawHeader("ETag");
        lastModified_ = reply->rawHeader("Last-Modified");
    }
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
