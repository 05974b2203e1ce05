#include "app/form2.h"

#include "app/full_screen.h"

#include "playlist/playlist_capacity.h"
#include "playlist/playlist_list_box.h"
#include "playlist/playlist_messages.h"
#include "playlist/playlist_source.h"

#include <QListWidget>

#include <cstdio>

QString form2::loadPlaylistAtStart()
{
    if (OptFile.isEmpty() || !(platform_.options.follow || PlaylistSource::isAddress(OptFile)))
        return LoadPlaylist();
    playlistSource_ = std::make_unique<PlaylistSource>(OptFile);
    return takePlaylistFromSource();
}

QString form2::takePlaylistFromSource()
{
    PlaylistSource::Reading reading = playlistSource_->read();
    if (reading.outcome != PlaylistSource::Reading::Outcome::Changed)
        return reading.tell;
    const qsizetype lines = reading.entries.size();
    if (lines > kPlaylistCapacity)
        reading.entries.resize(kPlaylistCapacity);
    replacePlaylist(*lstPlayList, reading.entries);
    // A changed list can have its own word too: entries of an address left out.
    if (lines > kPlaylistCapacity)
        return (reading.tell + u' ' + playlistLinesLeftOutMessage(OptFile, lines)).trimmed();
    return reading.tell;
}

bool form2::followsPlaylistSource() const
{
    return playlistSource_ && platform_.options.follow;
}

void form2::followPlaylistSource()
{
    if (!followsPlaylistSource())
        return;
    // Nobody may be there to answer a message box: a wall screen's log is where this goes.
    const QString problem = takePlaylistFromSource();
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "veltrase: %s\n", qUtf8Printable(problem));
        playlistProblem_ = problem;
    }
    // A full screen still waiting for its list says why on the screen, from the first pass
    // and again when the reason changes, until the list comes.
    if (lstPlayList->count() == 0 && fullScreen_->active() && (PassCount == 0 || !problem.isEmpty()))
        showNoPlaylistCard();
}
