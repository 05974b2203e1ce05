#include "playlist/windows1252.h"

#include <algorithm>
#include <iterator>

namespace {

// 0x80 to 0x9F; the rest of the code page agrees with Latin-1.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        *out++ = (value >= 0x80 && value <= 0x9F) ? QChar(kHighControls[value - 0x80]) : QChar(value);
    }
    return text;
}

std::optional<QByteArray> toWindows1252(QStringView text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (const QChar character : text) {
        const char16_t value = character.unicode();
        if (value < 0x80 || (value >= 0xA0 && value <= 0xFF)) {
            *out++ = static_cast<char>(value);
            continue;
        }
        const auto* found = std::find(std::begin(kHighControls), std::end(kHighControls), value);
        if (found == std::end(kHighControls))
            return std::nullopt;
        *out++ = static_cast<char>(0x80 + (found - std::begin(kHighControls)));
    }
    return bytes;
}
