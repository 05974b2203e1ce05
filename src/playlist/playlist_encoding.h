#pragma once

// How the text of a playlist file is written: as UTF-8, or as 8-bit text in the Windows
// Western code page, which older playlists and the programs that share them use.
enum class PlaylistEncoding { Utf8, Windows1252 };
