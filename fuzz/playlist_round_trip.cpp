#include "playlist/playlist_format.h"
#include "playlist/right_trim.h"

#include <cstdint>
#include <cstdlib>

// Whatever the list holds, saving it and opening the file again gives back the same
// list. The input is read as the list's text, one entry a line; every way into the
// list right-trims what it adds, and an entry never holds a line end.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QStringList entries;
    for (QString line : text.split(u'\n')) {
        line.remove(u'\r');
        entries << rightTrimmed(line);
    }
    // A first entry that begins with U+FEFF is written as a byte-order mark and read
    // back without one such character; it is invisible and no address starts with it.
    while (entries.first().startsWith(QChar(0xFEFF)))
        entries.first().remove(0, 1);

    // Saving what was read gives the same bytes again, in UTF-16 as in UTF-8.
    for (const auto encoding :
         {PlaylistEncoding::Utf8, PlaylistEncoding::Utf16LittleEndian, PlaylistEncoding::Utf16BigEndian}) {
        const QByteArray saved = playlistBytesFromEntries(entries, encoding);
        const PlaylistContents read = playlistFromBytes(saved);
        if (read.entries != entries || read.encoding != encoding)
            std::abort();
        if (playlistBytesFromEntries(read.entries, read.encoding) != saved)
            std::abort();
    }
    return 0;
}
