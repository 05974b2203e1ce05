#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The playlist file: one entry per line, nothing else.
//
// Reading accepts what text files on any desktop look like: a line ends at CR LF,
// at a CR alone or at an LF alone, and the last line may have no line end. A UTF-8
// byte-order mark at the start is skipped; a file that is not valid UTF-8 is taken
// to be Windows Western 8-bit text, so that an older playlist keeps every character.
// Each line becomes one entry, right-trimmed.
//
// Writing puts every entry in UTF-8 followed by CR LF, the last one included, with
// no byte-order mark; an empty playlist is an empty file.

// The text of a playlist file, decoded as described above.
QString playlistTextFromBytes(const QByteArray& bytes);

// One entry per line of text, right-trimmed.
QStringList entriesFromLines(const QString& text);

QStringList playlistEntriesFromBytes(const QByteArray& bytes);
QByteArray playlistBytesFromEntries(const QStringList& entries);
