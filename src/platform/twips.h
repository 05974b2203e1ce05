#pragma once

#include <cmath>

// The window's design speaks twips; widgets speak logical pixels, which Qt scales
// on high-density screens. 15 twips make one pixel at 96 dots per inch.
inline constexpr float kTwipsPerPixel = 15.0f;

inline int twipsToPixels(float twips)
{
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

inline float pixelsToTwips(int pixels)
{
    return static_cast<float>(pixels) * kTwipsPerPixel;
}
