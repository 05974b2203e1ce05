#pragma once

// Positions in the playlist and its count are 16-bit signed numbers, so the list
// holds at most this many entries.
inline constexpr int kPlaylistCapacity = 32767;
