#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// A playlist read from an address comes from someone else's server: it may name web
// pages and nothing else, never a file of this machine, a script or the browser's own
// pages. An entry is read as a link on a page at the list's address: a relative one is
// resolved against that address, and what it names must then be an http or https page.

// The page an entry names, as an absolute address; an empty text for a blank entry; nothing
// when it names anything but an http or https page.
std::optional<QString> pageListedAt(const QUrl& listAddress, const QString& entry);

struct ListedPages {
    QStringList pages;   // in the list's order
    QStringList leftOut; // as written
};

ListedPages pagesListedAt(const QUrl& listAddress, const QStringList& entries);
