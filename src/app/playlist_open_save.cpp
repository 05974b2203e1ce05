#include "app/form2.h"

#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "playlist/playlist_capacity.h"
#include "playlist/playlist_files.h"
#include "playlist/playlist_list_box.h"
#include "playlist/playlist_messages.h"

#include <QListWidget>

void form2::cmdOpen_Click()
{
    PlaylistPath = platform_.dialogs.askOpenFileName(this);
    if (const QString problem = LoadPlaylist(); !problem.isEmpty())
        platform_.messages.inform(this, problem);
}

void form2::cmdSave_Click()
{
    PlaylistPath = platform_.dialogs.askSaveFileName(this);
    if (const QString problem = SavePlaylist(); !problem.isEmpty())
        platform_.messages.inform(this, problem);
}

void form2::Load_Click()
{
    stop_button_Click();
    cmdOpen_Click();
}

// A run goes on: saving only reads the playlist.
void form2::Save_Click()
{
    cmdSave_Click();
}

QString form2::LoadPlaylist()
{
    PlaylistFileRead read = readPlaylistFile(PlaylistPath);
    switch (read.outcome) {
    case PlaylistFileRead::Outcome::NoFile: return {};
    case PlaylistFileRead::Outcome::Failed: return playlistOpenFailedMessage(PlaylistPath, read.failure);
    case PlaylistFileRead::Outcome::Read: break;
    }

    const qsizetype linesInFile = read.entries.size();
    if (linesInFile > kPlaylistCapacity)
        read.entries.resize(kPlaylistCapacity);
    replacePlaylist(*lstPlayList, read.entries);
    playlistEncoding_ = read.encoding;
    return linesInFile > kPlaylistCapacity ? playlistLinesLeftOutMessage(PlaylistPath, linesInFile) : QString();
}

QString form2::SavePlaylist()
{
    // An empty path is a cancelled dialog: there is nothing to save to.
    if (PlaylistPath.isEmpty())
        return {};

    QStringList entries;
    const int count = lstPlayList->count();
    entries.reserve(count);
    for (SaveIndex = 0; SaveIndex < count; ++SaveIndex)
        entries << lstPlayList->item(SaveIndex)->text();

    if (const QString failure = writePlaylistFile(PlaylistPath, entries, playlistEncoding_); !failure.isEmpty())
        return playlistSaveFailedMessage(PlaylistPath, failure);
    return {};
}
