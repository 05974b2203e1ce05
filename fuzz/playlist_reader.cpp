#include "playlist/playlist_format.h"

#include <cstdint>
#include <cstdlib>

// Any file at all may be opened as a playlist. Whatever its bytes, what comes back is
// lines: no entry holds a line end or ends in a space, there are no more entries than
// lines, and decoding never makes more characters than there were bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Not copied, so that a read past the end lands outside the fuzzer's own buffer.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));

    const QString text = playlistTextFromBytes(bytes);
    if (text.size() > bytes.size())
        std::abort();

    const QStringList entries = playlistEntriesFromBytes(bytes);
    const qsizetype lineEnds = bytes.count('\r') + bytes.count('\n');
    if (entries.size() > lineEnds + 1)
        std::abort();
    for (const QString& entry : entries) {
        if (entry.contains(u'\r') || entry.contains(u'\n') || entry.endsWith(u' '))
            std::abort();
    }
    return 0;
}
