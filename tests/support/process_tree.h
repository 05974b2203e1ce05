#pragma once

#include <QList>

// The processes started, directly or not, by the given one, read from /proc.
QList<qint64> descendantProcesses(qint64 pid);
bool processIsAlive(qint64 pid);
