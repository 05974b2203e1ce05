#include "playlist/playlist_format.h"

#include <cstdint>
#include <cstdlib>

// Any file at all may be opened as a playlist: one of binary data is refused by the
// caller, not here. Whatever its bytes, what comes back is lines: no entry holds a line
// end or ends in a space, there are no more entries than lines, decoding never makes
// more characters than there were bytes (in UTF-16 too), and a save in the encoding it
// was read in opens as the same list.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Not copied, so that a read past the end lands outside the fuzzer's own buffer.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));

    (void)isPlaylistText(bytes);
    const PlaylistContents read = playlistFromBytes(bytes);
    const qsizetype lineEnds = bytes.count('\r') + bytes.count('\n');
    if (read.entries.size() > lineEnds + 1)
        std::abort();
    qsizetype characters = 0;
    for (const QString& entry : read.entries) {
        if (entry.contains(u'\r') || entry.contains(u'\n') || entry.endsWith(u' '))
            std::abort();
        characters += entry.size();
    }
    if (characters > bytes.size())
        std::abort();
    if (playlistEntriesFromBytes(playlistBytesFromEntries(read.entries, read.encoding)) != read.entries)
        std::abort();
    return 0;
}
