#pragma once

#include <QString>

// Drops the space characters (U+0020) at the end of text and nothing else: a
// trailing tab stays, and so do leading spaces. Every way into the playlist uses it.
QString rightTrimmed(QString text);
