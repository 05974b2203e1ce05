#pragma once

#include <QString>

// What the user is told when the playlist cannot take what was asked of it. Each is
// one line, so start-up can write it to standard error as it is.

QString playlistFullMessage();
QString playlistFullDropMessage(qsizetype entriesLeftOut);
QString playlistLinesLeftOutMessage(const QString& path, qsizetype linesInFile);
QString playlistOpenFailedMessage(const QString& path, const QString& reason);
QString playlistSaveFailedMessage(const QString& path, const QString& reason);
