#pragma once

#include "playlist/playlist_encoding.h"

#include <QString>
#include <QStringList>

// What reading a playlist file came to.
struct PlaylistFileRead {
    enum class Outcome {
        NoFile, // nothing at that path (or no path): not a failure, nothing to read
        Read,
        Failed,
    };
    Outcome outcome = Outcome::NoFile;
    QStringList entries;
    PlaylistEncoding encoding = PlaylistEncoding::Utf8;
    // Why the file could not be read, in plain words, when it failed.
    QString failure;
};

// Reads the whole file before anything else happens, so a failure part-way leaves the
// caller's playlist untouched. A file past the size limit, or one that is not text, is
// refused without being read whole.
PlaylistFileRead readPlaylistFile(const QString& path);

// Writes the entries beside the file and puts them in its place only once every byte
// is on disk, so a failed save leaves the old file as it was. A file the user may write
// in a folder where no file can be made is written in place instead. Returns why it
// failed, in plain words, or an empty text when it worked.
QString writePlaylistFile(const QString& path, const QStringList& entries, PlaylistEncoding encoding);
