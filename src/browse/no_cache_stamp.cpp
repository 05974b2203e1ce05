#include "browse/no_cache_stamp.h"

QString noCacheStamp(const QDateTime& moment)
{
    const QDate date = moment.date();
    const QTime time = moment.time();
    return QString::number(date.year()) + QString::number(date.month()) + QString::number(date.day())
        + QString::number(time.hour()) + QString::number(time.minute()) + QString::number(time.second());
}

QString withNoCacheStamp(const QString& url, const QString& stamp)
{
    const qsizetype fragmentStart = url.indexOf(QLatin1Char('#'));
    const qsizetype insertAt = fragmentStart < 0 ? url.size() : fragmentStart;
    const bool hasQuery = url.left(insertAt).contains(QLatin1Char('?'));
    QString stamped = url;
    stamped.insert(insertAt, (hasQuery ? QLatin1Char('&') : QLatin1Char('?')) + stamp);
    return stamped;
}
