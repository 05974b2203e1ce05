#pragma once

#include <QString>

#include <optional>

// The dwell interval as the user typed it in the interval box.

// The longest dwell the wait can hold, in seconds: a hundredth of it, in
// milliseconds, is the longest slice that fits in 32 bits.
inline constexpr int kLongestDwellSeconds = 214748364;

// A plain decimal number with optional sign, fraction, exponent and surrounding
// spaces; nothing else ("nan", "inf", "0x10" and the empty text are not numbers).
std::optional<double> parseIntervalNumber(const QString& text);

// True when the box must be set to "1": not a number, or less than one second.
bool intervalNeedsReplacing(const QString& text);

// The fixed dwell of one stage: the number rounded to the nearest whole second,
// halves to the even neighbour, held at the longest dwell. Expects a text that
// needs no replacing.
int fixedDwellSeconds(const QString& text);
int fixedDwellSeconds(double seconds);

// The random dwell of one stage: the whole part of interval × share, plus one,
// held at the longest dwell. share is uniform in [0, 1).
int randomDwellSeconds(double interval, double share);
