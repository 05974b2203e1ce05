#pragma once

// How the text of a playlist file is written: as UTF-8, as 8-bit text in the Windows
// Western code page, which older playlists and the programs that share them use, or as
// UTF-16 with its byte-order mark in either byte order, as Windows' Notepad saves
// "Unicode" text.
enum class PlaylistEncoding { Utf8, Windows1252, Utf16LittleEndian, Utf16BigEndian };
