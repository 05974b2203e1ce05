#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// Reads 8-bit text written in the Windows Western code page. Every byte maps to one
// character; the five bytes that code page leaves undefined map to the control
// characters of the same value, so no byte is ever lost.
QString fromWindows1252(QByteArrayView bytes);

// The same text as those bytes again; nothing when a character has no byte there.
std::optional<QByteArray> toWindows1252(QStringView text);
