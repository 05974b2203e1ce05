#pragma once

#include <QtGlobal>

// Positions in the playlist and its count are 16-bit signed numbers, so the list
// holds at most this many entries.
inline constexpr int kPlaylistCapacity = 32767;

// Room for a full list of addresses of 128 bytes each. Anything larger is not a
// playlist but a mistake or an attack, refused before it is held whole in memory.
inline constexpr qint64 kPlaylistSizeLimit = 4 * 1024 * 1024;
inline constexpr char kPlaylistTooLarge[] = "the list is larger than 4 MiB";
inline constexpr char kPlaylistNotText[] = "it holds binary data, not text";
