#pragma once

#include <QByteArrayView>
#include <QString>

// Reads 8-bit text written in the Windows Western code page. Every byte maps to one
// character; the five bytes that code page leaves undefined map to the control
// characters of the same value, so no byte is ever lost.
QString fromWindows1252(QByteArrayView bytes);
