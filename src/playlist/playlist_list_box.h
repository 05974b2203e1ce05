#pragma once

#include <QStringList>

class QListWidget;

// The playlist lives only in the list box; these are the ways entries get in and out.

// Replaces every entry; no entry is selected afterwards.
void replacePlaylist(QListWidget& list, const QStringList& entries);

// Appends the texts, right-trimmed, in order, as far as the list has room. Returns
// how many did not fit.
qsizetype appendToPlaylist(QListWidget& list, const QStringList& texts);
