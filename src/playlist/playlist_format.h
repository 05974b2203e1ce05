#pragma once

#include "playlist/playlist_encoding.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

// The playlist file: one entry per line, nothing else.
//
// Reading accepts what text files on any desktop look like: a line ends at CR LF, at a
// CR alone or at an LF alone, and the last line may have no line end. A UTF-8 byte-order
// mark at the start is skipped. Each line is decoded on its own: a line that is valid
// UTF-8 is UTF-8, any other is Windows Western 8-bit text, so one stray 8-bit byte spoils
// no other line and an older playlist keeps every character. Each line becomes one
// entry, right-trimmed. A file that starts with a UTF-16 byte-order mark is UTF-16 text
// in that byte order instead, read whole, and written back so, mark and all.
//
// Writing puts every entry followed by CR LF, the last one included, with no byte-order
// mark (but in UTF-16, or before a first entry that begins with U+FEFF); an empty
// playlist is an empty file (in UTF-16, the mark alone).

struct PlaylistContents {
    QStringList entries;
    // Windows1252 for a file whose every line that is not plain ASCII was 8-bit text,
    // UTF-16 for a file marked so, so that saving it again gives back the bytes that
    // other programs read.
    PlaylistEncoding encoding = PlaylistEncoding::Utf8;
};

// A playlist is text: bytes that hold a NUL byte are some other kind of file, unless
// they are marked as UTF-16, where every ASCII character has one.
bool isPlaylistText(QByteArrayView bytes);

PlaylistContents playlistFromBytes(QByteArrayView bytes);
QStringList playlistEntriesFromBytes(QByteArrayView bytes);

// In UTF-16 when asked; in Windows1252 when asked and every entry can be written so
// that it opens again as the same entry; else in UTF-8.
QByteArray playlistBytesFromEntries(const QStringList& entries, PlaylistEncoding encoding = PlaylistEncoding::Utf8);
