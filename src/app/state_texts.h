#pragma once

#include <QLatin1String>

// The window keeps its state in texts: yes/no flags and check-box captions that say
// what the box does. Code that compares them uses these, so each text is written once.
inline constexpr QLatin1String kYes("Y");
inline constexpr QLatin1String kNo("N");
inline constexpr QLatin1String kRandomOnCaption("Random - Y");
inline constexpr QLatin1String kRandomOffCaption("Random - N");
inline constexpr QLatin1String kNoCacheCaption("No Cache");
inline constexpr QLatin1String kCacheCaption("Cache");
