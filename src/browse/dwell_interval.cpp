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

} // namespace

std::optional<double> parseIntervalNumber(const QString& text)
{
    static const QRegularExpression plainDecimal(
        QStringLiteral(R"(^ *[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)? *$)"));
    if (!plainDecimal.match(text).hasMatch())
        return std::nullopt;
    const QString trimmed = text.trimmed();
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (ok)
        return value;
    // Only an exponent beyond a double's range fails here: too large is a huge
    // number, too small is nothing at all.
    if (trimmed.contains(QLatin1String("e-"), Qt::CaseInsensitive))
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
    const double value = parseIntervalNumber(text).value_or(1.0);
    // The default rounding mode rounds halves to the even neighbour: 2.5 gives 2, 3.5 gives 4.
    return heldAtLongest(std::nearbyint(value));
}

int randomDwellSeconds(double interval, double share)
{
    return heldAtLongest(std::trunc(interval * share) + 1.0);
}
