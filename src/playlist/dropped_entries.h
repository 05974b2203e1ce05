#pragma once

#include <QStringList>

class QMimeData;

// The entries that data dropped from another program stands for: one per URL when it
// carries URLs (a browser's link, a file manager's files), else one per line of its
// text. Empty when it carries neither.
QStringList droppedEntries(const QMimeData& data);
