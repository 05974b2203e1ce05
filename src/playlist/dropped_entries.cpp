#include "playlist/dropped_entries.h"

#include "playlist/playlist_format.h"

#include <QMimeData>
#include <QUrl>

QStringList droppedEntries(const QMimeData& data)
{
    QStringList entries;
    for (const QUrl& url : data.urls()) {
        // Spaces stay encoded: a URL ending in "%20" must not lose it to the right-trim.
        entries << url.toString(QUrl::PrettyDecoded | QUrl::EncodeSpaces);
    }
    if (!entries.isEmpty())
        return entries;
    if (data.hasText())
        return entriesFromLines(data.text());
    return {};
}
