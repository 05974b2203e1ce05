#include "playlist/playlist_files.h"

#include "playlist/playlist_capacity.h"
#include "playlist/playlist_format.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>
#include <system_error>

namespace {

// System error texts begin with a capital ("Permission denied"); they read better
// in the middle of a sentence without it.
QString inPlainWords(const QString& reason)
{
    if (reason.size() > 1 && reason.at(0).isUpper() && reason.at(1).isLower())
        return reason.at(0).toLower() + reason.sliced(1);
    return reason;
}

PlaylistFileRead failedBecause(const QString& reason)
{
    return {PlaylistFileRead::Outcome::Failed, {}, {}, inPlainWords(reason)};
}

} // namespace

PlaylistFileRead readPlaylistFile(const QString& path)
{
    if (path.isEmpty())
        return {};

    // The file system's own answer tells a missing file from one that is there but
    // out of reach (a folder on the way that may not be entered).
    std::error_code error;
    const auto status = std::filesystem::status(QFile::encodeName(path).toStdString(), error);
    if (status.type() == std::filesystem::file_type::not_found)
        return {};
    if (error)
        return failedBecause(QString::fromStdString(error.message()));
    if (status.type() == std::filesystem::file_type::directory)
        return failedBecause(QStringLiteral("it is a folder, not a file"));
    // A pipe or a device could keep a read waiting for ever.
    if (status.type() != std::filesystem::file_type::regular)
        return failedBecause(QStringLiteral("it is not an ordinary file"));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failedBecause(file.errorString());
    // One byte past the limit at most: enough to know, however large the file or fast it grows.
    const QByteArray bytes = file.read(kPlaylistSizeLimit + 1);
    if (file.error() != QFileDevice::NoError)
        return failedBecause(file.errorString());
    if (bytes.size() > kPlaylistSizeLimit)
        return failedBecause(QLatin1String(kPlaylistTooLarge));
    if (!isPlaylistText(bytes))
        return failedBecause(QLatin1String(kPlaylistNotText));
    PlaylistContents contents = playlistFromBytes(bytes);
    return {PlaylistFileRead::Outcome::Read, std::move(contents.entries), contents.encoding, {}};
}

QString writePlaylistFile(const QString& path, const QStringList& entries, PlaylistEncoding encoding)
{
    const QFileInfo target(path);
    if (target.isDir())
        return QStringLiteral("it is a folder, not a file");
    if (!target.absoluteDir().exists())
        return QStringLiteral("its folder does not exist");
    // A file nobody may write is one marked read-only: not replaced behind the user's
    // back, even by an administrator, whom the permissions themselves would let through.
    const auto anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (target.exists() && (!target.isWritable() || !(target.permissions() & anyWrite)))
        return QStringLiteral("the file is read-only");

    // Unbuffered, so a write that runs out of room says so itself; a short write
    // must never reach commit, which would put a cut-off file in place of the old one.
    QSaveFile file(path);
    // Only where the folder refuses the file beside it while the file itself may be
    // written: a save in place beats none, though a write that fails part-way then
    // leaves the file cut off.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return inPlainWords(file.errorString());
    const QByteArray bytes = playlistBytesFromEntries(entries, encoding);
    for (qint64 written = 0; written < bytes.size();) {
        const qint64 step = file.write(bytes.constData() + written, bytes.size() - written);
        if (step <= 0) {
            const QString reason = inPlainWords(file.errorString());
            file.cancelWriting();
            return reason;
        }
        written += step;
    }
    if (!file.commit())
        return inPlainWords(file.errorString());
    return {};
}
