#include "browse/entry_settings.h"

#include "browse/dwell_interval.h"

#include <QRegularExpression>

namespace {

// The longest reload period a stage's wait can hold, as for a dwell.
constexpr int kLongestReloadSeconds = kLongestDwellSeconds;

std::optional<int> wholeNumberWithin(const QString& text, int least, int most)
{
    bool isNumber = false;
    const int value = text.toInt(&isNumber);
    if (!isNumber || value < least || value > most)
        return std::nullopt;
    return value;
}

QString trimmedOfSpaces(const QString& text)
{
    qsizetype first = 0, end = text.size();
    while (first < end && text.at(first) == QLatin1Char(' '))
        ++first;
    while (end > first && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(first, end - first);
}

} // namespace

EntrySettings readEntrySettings(const QString& entry)
{
    // The settings begin at the first " /name=": a path with " /" in a folder's name
    // stays whole, and a URL has no spaces.
    static const QRegularExpression firstSetting(QStringLiteral(" /[A-Za-z]+="));
    const qsizetype start = entry.indexOf(firstSetting);
    EntrySettings settings;
    if (start < 0) {
        settings.address = entry;
        return settings;
    }
    settings.address = trimmedOfSpaces(entry.left(start));
    for (const QString& written : entry.mid(start + 2).split(QLatin1String(" /"))) {
        const QString name = written.section(QLatin1Char('='), 0, 0);
        const QString value = trimmedOfSpaces(written.section(QLatin1Char('='), 1));
        const QString setting = QLatin1Char('/') + trimmedOfSpaces(written);
        const auto problem = [&](const char* why) { settings.problems << setting + QLatin1String(" is ") + QLatin1String(why); };
        if (!written.contains(QLatin1Char('='))) {
            problem("not a setting of the form /name=value");
        } else if (name == QLatin1String("t")) {
            // A number below one second is one second, as in the interval box.
            if (const auto seconds = parseIntervalNumber(value))
                settings.dwellSeconds = std::max(*seconds, 1.0);
            else
                problem("not a number of seconds");
        } else if (name == QLatin1String("zoom")) {
            if (!(settings.zoomPercent = wholeNumberWithin(value, 25, 500)))
                problem("not a zoom from 25 to 500");
        } else if (name == QLatin1String("reload")) {
            if (!(settings.reloadSeconds = wholeNumberWithin(value, 1, kLongestReloadSeconds)))
                problem("not a whole number of seconds");
        } else if (name == QLatin1String("hours")) {
            if (!(settings.hours = ShowingHours::read(value)))
                problem("not hours such as Mon-Fri 08:00-18:00");
        } else {
            problem("no setting of an entry (those are /t=, /zoom=, /reload= and /hours=)");
        }
    }
    return settings;
}
