#include "playlist/playlist_format.h"

#include "playlist/right_trim.h"
#include "playlist/windows1252.h"

#include <QStringDecoder>

namespace {

constexpr QByteArrayView kUtf8ByteOrderMark("\xEF\xBB\xBF");

} // namespace

QString playlistTextFromBytes(const QByteArray& bytes)
{
    QByteArrayView text(bytes);
    if (text.startsWith(kUtf8ByteOrderMark))
        text = text.sliced(kUtf8ByteOrderMark.size());

    // Stateless, so that a sequence cut short at the end of the file counts as invalid
    // too; the mark is already gone, so a second one would stay as a character.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString decoded = utf8.decode(text);
    if (utf8.hasError())
        return fromWindows1252(text);
    return decoded;
}

QStringList entriesFromLines(const QString& text)
{
    QStringList entries;
    qsizetype lineStart = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar character = text.at(at);
        if (character != u'\r' && character != u'\n')
            continue;
        entries << rightTrimmed(text.sliced(lineStart, at - lineStart));
        if (character == u'\r' && at + 1 < text.size() && text.at(at + 1) == u'\n')
            ++at;
        lineStart = at + 1;
    }
    if (lineStart < text.size())
        entries << rightTrimmed(text.sliced(lineStart));
    return entries;
}

QStringList playlistEntriesFromBytes(const QByteArray& bytes)
{
    return entriesFromLines(playlistTextFromBytes(bytes));
}

QByteArray playlistBytesFromEntries(const QStringList& entries)
{
    // Room for an ASCII playlist up front: a full one is tens of thousands of lines.
    qsizetype asciiSize = 0;
    for (const QString& entry : entries)
        asciiSize += entry.size() + 2;
    QByteArray bytes;
    bytes.reserve(asciiSize);
    for (const QString& entry : entries) {
        bytes += entry.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}
