#pragma once

#include "browse/showing_hours.h"

#include <QString>
#include <QStringList>

#include <optional>

// A playlist entry as a run reads it: the address, then settings of its own on the same
// line in the command line's grammar, each value running to the next " /":
//     https://status.example/ /t=15 /zoom=150 /reload=5 /hours=Mon-Fri 08:00-18:00
// A line without a setting is an address as a whole, as it always was. The line itself
// is never changed: the list keeps and saves it as typed.
struct EntrySettings {
    QString address;
    // /t=: this entry's dwell, a number read by the interval box's rules.
    std::optional<double> dwellSeconds;
    // /zoom=: 25 to 500.
    std::optional<int> zoomPercent;
    // /reload=: the page is loaded again this often while it stays on the screen.
    std::optional<int> reloadSeconds;
    // /hours=: outside them a run passes the entry over.
    std::optional<ShowingHours> hours;
    // Each setting that cannot be read: "/zoom=9 is not a zoom from 25 to 500". The
    // entry shows with the list's own value there.
    QStringList problems;
};

EntrySettings readEntrySettings(const QString& entry);
