#include "playlist/playlist_format.h"

#include "playlist/line_ends.h"
#include "playlist/right_trim.h"
#include "playlist/windows1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <optional>

namespace {

constexpr QByteArrayView kUtf8ByteOrderMark("\xEF\xBB\xBF");
constexpr QByteArrayView kUtf16LittleEndianMark("\xFF\xFE");
constexpr QByteArrayView kUtf16BigEndianMark("\xFE\xFF");

std::optional<PlaylistEncoding> utf16MarkedBy(QByteArrayView bytes)
{
    if (bytes.startsWith(kUtf16LittleEndianMark))
        return PlaylistEncoding::Utf16LittleEndian;
    if (bytes.startsWith(kUtf16BigEndianMark))
        return PlaylistEncoding::Utf16BigEndian;
    return std::nullopt;
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

// Nothing when the line is not valid UTF-8. Stateless, so that a sequence cut short at
// the end of the line counts as invalid too; the file's own byte-order mark is gone by
// now, so a mark within a line stays as a character.
std::optional<QString> fromUtf8(QByteArrayView line)
{
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(line);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

// Nothing unless every entry has its bytes in the code page and opens again as the same
// entry: a line that happens to be valid UTF-8 would be read as UTF-8, and a first line
// that begins as a byte-order mark would lose it or make the file open as UTF-16.
std::optional<QByteArray> asWindows1252(const QStringList& entries)
{
    QByteArray bytes;
    for (const QString& entry : entries) {
        std::optional<QByteArray> line = toWindows1252(entry);
        const bool first = bytes.isEmpty();
        if (!line || (first && (line->startsWith(kUtf8ByteOrderMark) || utf16MarkedBy(*line)))
            || (!isAscii(*line) && fromUtf8(*line)))
            return std::nullopt;
        bytes += *line;
        bytes += "\r\n";
    }
    return bytes;
}

// The whole text is decoded at once, then split: in UTF-16 a line end is two bytes.
// Stateless, so an odd last byte becomes a replacement character instead of vanishing;
// the mark itself is gone by now, so a U+FEFF that follows it stays as a character.
PlaylistContents fromUtf16(QByteArrayView bytes, PlaylistEncoding encoding)
{
    QStringDecoder utf16(encoding == PlaylistEncoding::Utf16LittleEndian ? QStringDecoder::Utf16LE
                                                                         : QStringDecoder::Utf16BE,
                         QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString text = utf16.decode(bytes.sliced(kUtf16LittleEndianMark.size()));
    PlaylistContents contents{{}, encoding};
    forEachLine(QStringView(text), [&](QStringView line) { contents.entries << rightTrimmed(line.toString()); });
    return contents;
}

QByteArray asUtf16(const QStringList& entries, PlaylistEncoding encoding)
{
    QStringEncoder utf16(encoding == PlaylistEncoding::Utf16LittleEndian ? QStringEncoder::Utf16LE
                                                                         : QStringEncoder::Utf16BE);
    QByteArray bytes = (encoding == PlaylistEncoding::Utf16LittleEndian ? kUtf16LittleEndianMark : kUtf16BigEndianMark)
                           .toByteArray();
    for (const QString& entry : entries)
        bytes += utf16.encode(entry + QStringLiteral("\r\n"));
    return bytes;
}

} // namespace

bool isPlaylistText(QByteArrayView bytes)
{
    return utf16MarkedBy(bytes) || !bytes.contains('\0');
}

PlaylistContents playlistFromBytes(QByteArrayView bytes)
{
    if (const std::optional<PlaylistEncoding> utf16 = utf16MarkedBy(bytes))
        return fromUtf16(bytes, *utf16);
    // A file that says it is UTF-8 is written back as UTF-8.
    const bool markedUtf8 = bytes.startsWith(kUtf8ByteOrderMark);
    if (markedUtf8)
        bytes = bytes.sliced(kUtf8ByteOrderMark.size());

    PlaylistContents contents;
    bool anyUtf8 = markedUtf8;
    bool any8Bit = false;
    forEachLine(bytes, [&](QByteArrayView line) {
        std::optional<QString> text = fromUtf8(line);
        if (!text) {
            text = fromWindows1252(line);
            any8Bit = true;
        } else if (!anyUtf8 && !isAscii(line)) {
            anyUtf8 = true;
        }
        contents.entries << rightTrimmed(*std::move(text));
    });
    if (any8Bit && !anyUtf8)
        contents.encoding = PlaylistEncoding::Windows1252;
    return contents;
}

QStringList playlistEntriesFromBytes(QByteArrayView bytes)
{
    return playlistFromBytes(bytes).entries;
}

QByteArray playlistBytesFromEntries(const QStringList& entries, PlaylistEncoding encoding)
{
    if (encoding == PlaylistEncoding::Utf16LittleEndian || encoding == PlaylistEncoding::Utf16BigEndian)
        return asUtf16(entries, encoding);
    if (encoding == PlaylistEncoding::Windows1252) {
        if (std::optional<QByteArray> bytes = asWindows1252(entries))
            return *std::move(bytes);
    }
    // Room for an ASCII playlist up front: a full one is tens of thousands of lines.
    qsizetype asciiSize = 0;
    for (const QString& entry : entries)
        asciiSize += entry.size() + 2;
    QByteArray bytes;
    bytes.reserve(asciiSize + kUtf8ByteOrderMark.size());
    // A first entry that begins with U+FEFF would lose it to the mark's place: a mark of
    // the file's own keeps it.
    if (!entries.isEmpty() && entries.first().startsWith(QChar(0xFEFF)))
        bytes += kUtf8ByteOrderMark;
    for (const QString& entry : entries) {
        bytes += entry.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}
