#include "browse/showing_hours.h"

#include <QRegularExpression>

namespace {

constexpr int kMinutesInDay = 24 * 60;
const char* const kDayNames[] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};

// 1 for Monday to 7 for Sunday; 0 for anything else.
int dayNumber(const QString& name)
{
    for (int day = 0; day < 7; ++day)
        if (name.compare(QLatin1String(kDayNames[day]), Qt::CaseInsensitive) == 0)
            return day + 1;
    return 0;
}

// "Mon-Fri", "Sat,Sun", "Fri-Mon" (round the weekend) as day bits; 0 if unreadable.
quint8 readDays(const QString& text)
{
    quint8 days = 0;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const QStringList ends = part.trimmed().split(QLatin1Char('-'));
        const int first = dayNumber(ends.value(0));
        const int last = ends.size() == 2 ? dayNumber(ends[1]) : ends.size() == 1 ? first : 0;
        if (!first || !last)
            return 0;
        for (int day = first;; day = day % 7 + 1) {
            days |= quint8(1u << day);
            if (day == last)
                break;
        }
    }
    return days;
}

// Minutes from midnight for "8:00", "08:00" and "24:00"; none for anything else.
std::optional<int> readTime(const QString& text)
{
    static const QRegularExpression form(QStringLiteral(R"(^(\d{1,2}):(\d{2})$)"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const int hours = match.captured(1).toInt();
    const int minutes = match.captured(2).toInt();
    if (minutes > 59 || hours > 24 || (hours == 24 && minutes != 0))
        return std::nullopt;
    return hours * 60 + minutes;
}

bool onDay(quint8 days, int dayOfWeek)
{
    return days & (1u << dayOfWeek);
}

} // namespace

std::optional<ShowingHours> ShowingHours::read(const QString& text)
{
    ShowingHours hours;
    for (const QString& group : text.split(QLatin1Char(';'))) {
        // Days have no digits and times begin with one.
        static const QRegularExpression digit(QStringLiteral("\\d"));
        const qsizetype timesStart = group.indexOf(digit);
        if (timesStart < 0)
            return std::nullopt;
        const QString dayText = group.left(timesStart).trimmed();
        // No days written: every day.
        const quint8 days = dayText.isEmpty() ? quint8(0xFE) : readDays(dayText);
        if (!days)
            return std::nullopt;
        for (const QString& times : group.mid(timesStart).split(QLatin1Char(','))) {
            const QStringList ends = times.split(QLatin1Char('-'));
            const auto start = readTime(ends.value(0));
            const auto end = readTime(ends.value(1));
            if (ends.size() != 2 || !start || !end || *start == kMinutesInDay)
                return std::nullopt;
            hours.ranges_.append({days, *start, *end});
        }
    }
    return hours;
}

bool ShowingHours::contains(const QDateTime& moment) const
{
    const int today = moment.date().dayOfWeek();
    const int yesterday = today == 1 ? 7 : today - 1;
    const int minute = moment.time().hour() * 60 + moment.time().minute();
    for (const Range& range : ranges_) {
        if (range.startMinute < range.endMinute) {
            if (onDay(range.days, today) && minute >= range.startMinute && minute < range.endMinute)
                return true;
        } else if ((onDay(range.days, today) && minute >= range.startMinute)
                   || (onDay(range.days, yesterday) && minute < range.endMinute)) {
            return true;
        }
    }
    return false;
}

QDateTime ShowingHours::nextStart(const QDateTime& moment) const
{
    QDateTime earliest;
    for (int ahead = 0; ahead <= 7; ++ahead) {
        const QDate date = moment.date().addDays(ahead);
        for (const Range& range : ranges_) {
            if (!onDay(range.days, date.dayOfWeek()))
                continue;
            const QDateTime start(date, QTime(range.startMinute / 60, range.startMinute % 60));
            if (start > moment && (earliest.isNull() || start < earliest))
                earliest = start;
        }
    }
    return earliest;
}

QString dayAndTime(const QDateTime& moment)
{
    // Named in English whatever the desktop's language, as the options are written.
    const QString day = QString::fromLatin1(kDayNames[moment.date().dayOfWeek() - 1]);
    return day.left(1).toUpper() + day.mid(1) + moment.toString(QStringLiteral(" HH:mm"));
}
