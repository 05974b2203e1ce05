#include "playlist/playlist_list_box.h"

#include "playlist/playlist_capacity.h"
#include "playlist/right_trim.h"

#include <QListWidget>

void replacePlaylist(QListWidget& list, const QStringList& entries)
{
    list.clear();
    list.addItems(entries);
}

qsizetype appendToPlaylist(QListWidget& list, const QStringList& texts)
{
    const qsizetype room = std::max<qsizetype>(kPlaylistCapacity - list.count(), 0);
    const qsizetype fitting = std::min(room, texts.size());
    QStringList trimmed;
    trimmed.reserve(fitting);
    for (qsizetype index = 0; index < fitting; ++index)
        trimmed << rightTrimmed(texts.at(index));
    list.addItems(trimmed);
    return texts.size() - fitting;
}
