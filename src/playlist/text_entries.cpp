#include "playlist/text_entries.h"

#include "playlist/line_ends.h"
#include "playlist/right_trim.h"

QStringList entriesFromText(QStringView text)
{
    if (!text.contains(u'\r') && !text.contains(u'\n'))
        return {rightTrimmed(text.toString())};
    QStringList entries;
    forEachLine(text, [&entries](QStringView line) {
        if (QString entry = rightTrimmed(line.toString()); !entry.isEmpty())
            entries << entry;
    });
    return entries;
}
