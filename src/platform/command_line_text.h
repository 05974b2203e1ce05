#pragma once

#include <QStringList>

// The options as one text: the program's arguments joined with single spaces, so
// quoted and unquoted words give the same text.
inline QString commandLineText(const QStringList& argumentsAfterProgram)
{
    return argumentsAfterProgram.join(QLatin1Char(' '));
}
