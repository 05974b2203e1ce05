#include "browse/dwell_interval.h"

#include <QRegularExpression>

#include <cmath>

namespace {

int heldAtLongest(double seconds)
{
    if (!(seconds < static_cast<double>(kLongestDwellSeconds)))
        return kLongestDwellSeconds;
    return static_cast<int>(seconds);
}

// Whether a plain decimal number that is not zero lies below one, read from its digits
// alone: "0.0001" and "5e-3" do, "12" and "0.1e2" do not.
bool isBelowOne(const QString& number)
{
    QString mantissa = number.trimmed();
    qint64 exponent = 0;
    if (const qsizetype e = mantissa.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive); e >= 0) {
        bool fits = false;
        exponent = mantissa.sliced(e + 1).toLongLong(&fits);
        // An exponent too long for 64 bits only needs its sign here.
        if (!fits)
            exponent = mantissa.at(e + 1) == QLatin1Char('-') ? -(qint64(1) << 40) : qint64(1) << 40;
        mantissa.truncate(e);
    }
    qsizetype point = mantissa.indexOf(QLatin1Char('.'));
    if (point < 0)
        point = mantissa.size();
    for (qsizetype i = 0; i < mantissa.size(); ++i) {
        if (mantissa.at(i) >= QLatin1Char('1') && mantissa.at(i) <= QLatin1Char('9')) {
            // The place of the leading digit: 0 for units, -1 for tenths, and so on.
            const qint64 place = i < point ? point - i - 1 : point - i;
            return place + exponent < 0;
        }
    }
    return true;
}

} // namespace

std::optional<double> parseIntervalNumber(const QString& text)
{
    static const QRegularExpression plainDecimal(QStringLiteral(R"(^ *[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)? *$)"));
    if (!plainDecimal.match(text).hasMatch())
        return std::nullopt;
    const QString trimmed = text.trimmed();
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (ok)
        return value;
    // Only a number beyond a double's range fails here: too large is a huge number,
    // too small is nothing at all, whether written with an exponent or in full.
    if (isBelowOne(trimmed))
        return 0.0;
    return trimmed.startsWith(QLatin1Char('-')) ? -HUGE_VAL : HUGE_VAL;
}

bool intervalNeedsReplacing(const QString& text)
{
    const std::optional<double> value = parseIntervalNumber(text);
    return !value || *value < 1.0;
}

int fixedDwellSeconds(const QString& text)
{
    return fixedDwellSeconds(parseIntervalNumber(text).value_or(1.0));
}

int fixedDwellSeconds(double seconds)
{
    // The default rounding mode rounds halves to the even neighbour: 2.5 gives 2, 3.5 gives 4.
    return heldAtLongest(std::nearbyint(seconds));
}

int randomDwellSeconds(double interval, double share)
{
    return heldAtLongest(std::trunc(interval * share) + 1.0);
}
