#pragma once

#include <QDateTime>
#include <QString>

// Year, month, day, hour, minute and second in plain decimal, one after another:
// 5 March 2024 07:08:09 gives "202435789".
QString noCacheStamp(const QDateTime& moment);

// The URL with the stamp as a query the server sees, without changing the page asked
// for: "?stamp" when the URL has no query yet, "&stamp" when it has one, and always
// before a "#fragment", which the browser never sends.
QString withNoCacheStamp(const QString& url, const QString& stamp);
