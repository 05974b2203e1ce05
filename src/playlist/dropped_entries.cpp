#include "playlist/dropped_entries.h"

#include "playlist/text_entries.h"

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
        return entriesFromText(data.text());
    return {};
}
