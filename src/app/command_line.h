#pragma once

#include <QString>

// The three options of the command line. Each is searched for from the start of the
// argument text, case-sensitive, first occurrence only; its value runs to the next
// space followed by a slash and is trimmed of spaces.
struct CommandLineOptions {
    QString file;     // "/f="
    QString random;   // "/r="
    QString interval; // "/t="
};

CommandLineOptions parseCommandLine(const QString& argumentText);

// The value of the option found at the 1-based position in the working text (the
// argument text with " /x=" appended); empty for position 0.
QString readOption(const QString& workingText, qsizetype position);
