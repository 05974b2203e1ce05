#include "app/information_arguments.h"

#include "platform/application_title.h"

std::optional<QString> answerToInformationArgument(const QStringList& argumentsAfterProgram)
{
    if (argumentsAfterProgram.size() != 1)
        return std::nullopt;
    const QString& argument = argumentsAfterProgram.first();
    if (argument == QLatin1String("--version"))
        return applicationTitle() + QLatin1Char(' ') + applicationVersion() + QLatin1Char('\n');
    if (argument == QLatin1String("--help"))
        return QStringLiteral(
            "Usage: veltrase [/f=PLAYLIST] [/t=SECONDS] [/r=Y]\n"
            "Shows the pages of a playlist one after another, each for a set time.\n"
            "\n"
            "  /f=PLAYLIST  load this playlist file (one address per line) and start browsing\n"
            "  /t=SECONDS   how long each page stays on screen\n"
            "  /r=Y         stay on each page for a random part of that time\n"
            "  --help       show this text\n"
            "  --version    show the version\n"
            "\n"
            "Each value runs to the next space followed by a slash, so paths may hold spaces.\n"
            "With any option given, browsing starts as soon as the window opens.\n"
            "\n"
            "Example:\n"
            "  veltrase /f=/home/me/lists/dashboards.txt /t=20 /r=Y\n");
    return std::nullopt;
}
