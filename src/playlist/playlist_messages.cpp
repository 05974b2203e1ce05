#include "playlist/playlist_messages.h"

#include "playlist/playlist_capacity.h"

#include <QLocale>

namespace {

QString count(qsizetype number)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(static_cast<qlonglong>(number));
}

} // namespace

QString playlistFullMessage()
{
    return QStringLiteral("The playlist is full: it holds at most %1 entries.").arg(count(kPlaylistCapacity));
}

QString playlistFullDropMessage(qsizetype entriesLeftOut)
{
    return playlistFullMessage() + QStringLiteral(" Dropped entries left out: %1.").arg(count(entriesLeftOut));
}

QString playlistLinesLeftOutMessage(const QString& path, qsizetype linesInFile)
{
    return QStringLiteral("The playlist file \"%1\" has %2 lines, but a playlist holds at most %3 entries: "
                          "the first %3 were loaded and the last %4 were left out.")
        .arg(path, count(linesInFile), count(kPlaylistCapacity), count(linesInFile - kPlaylistCapacity));
}

QString playlistOpenFailedMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("The playlist file \"%1\" could not be opened: %2. The playlist was not changed.")
        .arg(path, reason);
}

QString playlistSaveFailedMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("The playlist could not be saved as \"%1\": %2. No file was changed.").arg(path, reason);
}
