#include "app/command_line.h"

namespace {

// Spaces only: a tab or a line break inside a value stays part of it.
QString trimSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text.at(first) == QLatin1Char(' '))
        ++first;
    while (end > first && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(first, end - first);
}

qsizetype oneBasedPosition(const QString& text, const char* option)
{
    return text.indexOf(QLatin1String(option), 0, Qt::CaseSensitive) + 1;
}

} // namespace

QString readOption(const QString& workingText, qsizetype position)
{
    if (position <= 0)
        return {};
    const QString rest = workingText.mid(position + 2);
    const qsizetype end = rest.indexOf(QLatin1String(" /"));
    if (end < 0)
        return {};
    return trimSpaces(rest.left(end));
}

CommandLineOptions parseCommandLine(const QString& argumentText)
{
    if (argumentText.isEmpty())
        return {};
    // The terminator ends the value of an option that stands last.
    const QString working = argumentText + QLatin1String(" /x=");
    return {readOption(working, oneBasedPosition(working, "/f=")),
            readOption(working, oneBasedPosition(working, "/r=")),
            readOption(working, oneBasedPosition(working, "/t="))};
}
