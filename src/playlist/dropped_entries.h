#pragma once

#include <QStringList>

class QMimeData;

// The entries that data dropped from another program stands for: one per URL when it
// carries URLs (a browser's link, a file manager's files), else those of its text, one
// per line. Empty when it carries neither.
QStringList droppedEntries(const QMimeData& data);
