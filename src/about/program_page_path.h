#pragma once

#include <QString>

// Where a page that ships with the program lies: the program folder, a slash and the
// page's file name, joined as they are. Nothing is trimmed or escaped, so a folder
// with blanks keeps them, and the root folder gives "//help.html", which still names
// /help.html.
inline QString programPagePath(const QString& programFolder, const QString& pageFileName)
{
    return programFolder + QLatin1Char('/') + pageFileName;
}
