#pragma once

#include <QString>
#include <QStringList>

// What the user is told when the playlist cannot take what was asked of it. Each is
// one line, so start-up can write it to standard error as it is.

QString playlistFullMessage();
QString playlistFullDropMessage(qsizetype entriesLeftOut);
QString playlistLinesLeftOutMessage(const QString& path, qsizetype linesInFile);
QString playlistOpenFailedMessage(const QString& path, const QString& reason);
QString playlistSaveFailedMessage(const QString& path, const QString& reason);

// The first few entries, quoted, each cut short if long and with control characters
// masked, since they come from someone else's server and go to a terminal or a log.
QString fewEntries(const QStringList& entries);
QString playlistEntriesLeftOutMessage(const QString& origin, const QStringList& leftOut);
