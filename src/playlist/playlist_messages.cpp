#include "playlist/playlist_messages.h"

#include "playlist/playlist_capacity.h"

#include <QLocale>

#include <algorithm>

namespace {

QString count(qsizetype number)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(static_cast<qlonglong>(number));
}

constexpr qsizetype kEntriesNamed = 3;
constexpr qsizetype kLongestNamed = 60;

QString quotedShort(QString entry)
{
    if (entry.size() > kLongestNamed)
        entry = entry.left(kLongestNamed) + QStringLiteral("...");
    for (QChar& character : entry) {
        if (character.category() == QChar::Other_Control || character.category() == QChar::Other_Format)
            character = u'?';
    }
    return u'"' + entry + u'"';
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

QString fewEntries(const QStringList& entries)
{
    QStringList named;
    for (qsizetype at = 0; at < std::min(entries.size(), kEntriesNamed); ++at)
        named << quotedShort(entries.at(at));
    const QString few = named.join(QStringLiteral(", "));
    if (entries.size() <= kEntriesNamed)
        return few;
    return few + QStringLiteral(" and %1 more").arg(count(entries.size() - kEntriesNamed));
}

QString playlistEntriesLeftOutMessage(const QString& origin, const QStringList& leftOut)
{
    const QString what = leftOut.size() == 1
        ? QStringLiteral("1 entry that is not an http or https page")
        : count(leftOut.size()) + QStringLiteral(" entries that are not http or https pages");
    return QStringLiteral("The playlist \"%1\" names %2, left out: %3.").arg(origin, what, fewEntries(leftOut));
}
