#include "app/long_options.h"

#include "browse/showing_hours.h"
#include "platform/application_title.h"

#include <QCommandLineParser>

namespace {

QString helpText()
{
    return QStringLiteral("Usage: veltrase [OPTION]... [/f=PLAYLIST] [/t=SECONDS] [/r=Y]\n"
                          "Shows the pages of a playlist one after another, each for a set time.\n"
                          "\n"
                          "  /f=PLAYLIST       load this playlist (a file, or an http:// or https:// address)\n"
                          "                    and start browsing\n"
                          "  /t=SECONDS        how long each page stays on screen\n"
                          "  /r=Y              stay on each page for a random part of that time\n"
                          "\n"
                          "  --once            one pass through the playlist (Loop unticked)\n"
                          "  --exit            end the program after the run (Exit ticked)\n"
                          "  --cache           let the server's cache answer (No Cache unticked)\n"
                          "  --full-screen     the pages fill the whole screen, without the control panel\n"
                          "                    or the menus; F11 switches full screen on and off\n"
                          "  --keep-screen-on  hold off the screen saver and display power-saving while\n"
                          "                    pages are being shown\n"
                          "  --zoom=PERCENT    show every page at this zoom, from 25 to 500\n"
                          "  --private         keep no cookies or logins: nothing is written to disk\n"
                          "  --follow          read the playlist again before every pass, so a changed\n"
                          "                    file (or address) is shown from the next pass\n"
                          "  --preload         load and draw the next page before its turn, so each switch\n"
                          "                    shows a whole page at once (the default with --full-screen)\n"
                          "  --no-preload      load each page at its turn: less memory, for small boards\n"
                          "  --pause-on-input=SECONDS\n"
                          "                    a key, click, touch or wheel on the page holds it on the\n"
                          "                    screen; the run goes on SECONDS after the last one\n"
                          "  --control=[ADDRESS:]PORT\n"
                          "                    steer the run over HTTP on this port (address 127.0.0.1\n"
                          "                    unless given; any other needs --control-token-file)\n"
                          "  --control-token-file=FILE\n"
                          "                    every request must carry the token in FILE\n"
                          "                    (Authorization: Bearer TOKEN)\n"
                          "  --screen-hours=HOURS\n"
                          "                    the screen is on only in these hours, local time, such as\n"
                          "                    'Mon-Fri 07:00-19:00' or 'Mon-Fri 07:00-19:00; Sat 09:00-13:00';\n"
                          "                    outside them the run pauses, the screen goes dark and the\n"
                          "                    display is powered down (--keep-screen-on lets go)\n"
                          "  --screen-off-command=COMMAND, --screen-on-command=COMMAND\n"
                          "                    power the display down and up with these commands instead\n"
                          "                    of the X server's power saving (a television over HDMI-CEC,\n"
                          "                    a Raspberry Pi, a Wayland compositor)\n"
                          "  -h, --help        show this text\n"
                          "  -v, --version     show the version\n"
                          "\n"
                          "Each /-value runs to the next space followed by a slash, so paths may hold spaces.\n"
                          "A playlist entry may carry settings of its own after its address, the same way:\n"
                          "  https://grafana.example/d/ops /t=60 /zoom=150\n"
                          "  https://status.example/ /t=15 /reload=5\n"
                          "  https://menu.example/lunch /hours=Mon-Fri 11:00-14:00\n"
                          "/t= its time on screen, /zoom= its zoom, /reload= how often it is loaded again\n"
                          "while it shows, /hours= when it is shown (outside them it is passed over).\n"
                          "With any /-option given, browsing starts as soon as the window opens, and coming\n"
                          "back from the About box starts a stopped run again. With /f= but no /t=, each\n"
                          "page shows for 1 second.\n"
                          "\n"
                          "A wall screen:\n"
                          "  veltrase --full-screen --keep-screen-on --zoom=150 /f=/srv/screens/lobby.txt /t=30\n"
                          "and one that sleeps at night and at the weekend:\n"
                          "  veltrase --full-screen --keep-screen-on --screen-hours='Mon-Fri 07:00-19:00' \\\n"
                          "           /f=/srv/screens/lobby.txt /t=30\n"
                          "\n"
                          "Exit status: 0 when the program ends normally (its window closed, Exit, SIGTERM\n"
                          "or SIGINT); 1 when the browser cannot start as the superuser; 2 for a usage error.\n"
                          "\n"
                          "Environment:\n"
                          "  QTWEBENGINE_DISABLE_SANDBOX=1  run the browser without its sandbox (needed as root)\n"
                          "  VELTRASE_ENGINE_LOG=1          let the browser engine's own log through to stderr\n"
                          "  XDG_DATA_HOME                  where the kept browser profile lives\n"
                          "                                 (default ~/.local/share; then veltrase/profile)\n");
}

// The toolkit's own options that take a value; it removes them from the arguments
// itself, so here they only need passing over.
bool isToolkitOptionWithValue(const QString& argument)
{
    static const QStringList names{
        QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"),    QStringLiteral("style"),
        QStringLiteral("stylesheet"),      QStringLiteral("session"),
        QStringLiteral("display"),         QStringLiteral("geometry"),
    };
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    return argument.startsWith(QLatin1Char('-')) && names.contains(name);
}

bool isLongOption(const QString& argument)
{
    return (argument.startsWith(QLatin1String("--")) && argument.size() > 2) || argument == QLatin1String("-h")
        || argument == QLatin1String("-v") || argument == QLatin1String("-?");
}

} // namespace

bool isLoopbackName(const QString& address)
{
    return address == QLatin1String("localhost") || address == QLatin1String("::1")
        || (address.startsWith(QLatin1String("127.")) && address.count(u'.') == 3);
}

ArgumentReading readArguments(const QStringList& argumentsAfterProgram)
{
    ArgumentReading reading;
    const QCommandLineOption once(QStringLiteral("once"));
    const QCommandLineOption exitAtEnd(QStringLiteral("exit"));
    const QCommandLineOption cache(QStringLiteral("cache"));
    const QCommandLineOption fullScreen(QStringLiteral("full-screen"));
    const QCommandLineOption keepScreenOn(QStringLiteral("keep-screen-on"));
    const QCommandLineOption privateProfile(QStringLiteral("private"));
    const QCommandLineOption follow(QStringLiteral("follow"));
    const QCommandLineOption zoom(QStringLiteral("zoom"), QString(), QStringLiteral("PERCENT"));
    const QCommandLineOption preload(QStringLiteral("preload"));
    const QCommandLineOption noPreload(QStringLiteral("no-preload"));
    const QCommandLineOption pauseOnInput(QStringLiteral("pause-on-input"), QString(), QStringLiteral("SECONDS"));
    const QCommandLineOption control(QStringLiteral("control"), QString(), QStringLiteral("ADDRESS:PORT"));
    const QCommandLineOption controlTokenFile(QStringLiteral("control-token-file"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption screenHours(QStringLiteral("screen-hours"), QString(), QStringLiteral("HOURS"));
    const QCommandLineOption screenOffCommand(QStringLiteral("screen-off-command"), QString(), QStringLiteral("COMMAND"));
    const QCommandLineOption screenOnCommand(QStringLiteral("screen-on-command"), QString(), QStringLiteral("COMMAND"));

    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addOptions({once, exitAtEnd, cache, fullScreen, keepScreenOn, privateProfile, follow, zoom, preload, noPreload, pauseOnInput, control, controlTokenFile,
                       screenHours, screenOffCommand, screenOnCommand});

    // Only words of the long form go to the parser: an old command line such as
    // "/f=my -list.txt" keeps its meaning word for word.
    QStringList longWords{QStringLiteral("veltrase")};
    for (qsizetype i = 0; i < argumentsAfterProgram.size(); ++i) {
        const QString& argument = argumentsAfterProgram.at(i);
        if (isToolkitOptionWithValue(argument)) {
            ++i;
        } else if (isLongOption(argument)) {
            longWords << argument;
            static const QStringList takingValues{QStringLiteral("--zoom"), QStringLiteral("--pause-on-input"),
                                                  QStringLiteral("--control"), QStringLiteral("--control-token-file"),
                                                  QStringLiteral("--screen-hours"), QStringLiteral("--screen-off-command"),
                                                  QStringLiteral("--screen-on-command")};
            if (takingValues.contains(argument) && i + 1 < argumentsAfterProgram.size())
                longWords << argumentsAfterProgram.at(++i);
        } else {
            reading.oldGrammarArguments << argument;
        }
    }

    const auto usageError = [&reading](const QString& problem) {
        reading.action = ArgumentReading::Action::UsageError;
        reading.message = QStringLiteral("veltrase: %1\nTry 'veltrase --help' for more information.\n").arg(problem);
        return reading;
    };
    if (!parser.parse(longWords)) {
        const QStringList unknown = parser.unknownOptionNames();
        return usageError(unknown.isEmpty() ? parser.errorText()
                                            : QStringLiteral("unknown option '--%1'").arg(unknown.first()));
    }
    if (parser.isSet(help) || parser.isSet(version)) {
        reading.action = ArgumentReading::Action::Answer;
        reading.message = parser.isSet(help)
            ? helpText()
            : applicationTitle() + QLatin1Char(' ') + applicationVersion() + QLatin1Char('\n');
        return reading;
    }

    LongOptions& options = reading.options;
    options.once = parser.isSet(once);
    options.exitAtEnd = parser.isSet(exitAtEnd);
    options.cache = parser.isSet(cache);
    options.fullScreen = parser.isSet(fullScreen);
    options.keepScreenOn = parser.isSet(keepScreenOn);
    options.privateProfile = parser.isSet(privateProfile);
    options.follow = parser.isSet(follow);
    // A wall screen is where a switch is seen most; a board short of memory says no.
    options.preload = !parser.isSet(noPreload) && (parser.isSet(preload) || options.fullScreen);
    if (parser.isSet(zoom)) {
        bool isNumber = false;
        const int percent = parser.value(zoom).toInt(&isNumber);
        if (!isNumber || percent < 25 || percent > 500)
            return usageError(
                QStringLiteral("--zoom takes a percentage from 25 to 500, not '%1'").arg(parser.value(zoom)));
        options.zoomPercent = percent;
    }
    if (parser.isSet(pauseOnInput)) {
        bool isNumber = false;
        const int seconds = parser.value(pauseOnInput).toInt(&isNumber);
        if (!isNumber || seconds < 1 || seconds > 86400)
            return usageError(QStringLiteral("--pause-on-input takes a number of seconds from 1 to 86400, not '%1'")
                                  .arg(parser.value(pauseOnInput)));
        options.pauseOnInputSeconds = seconds;
    }
    if (parser.isSet(control)) {
        const QString value = parser.value(control);
        const qsizetype colon = value.lastIndexOf(u':');
        bool isNumber = false;
        const int port = value.mid(colon + 1).toInt(&isNumber);
        if (!isNumber || port < 1 || port > 65535)
            return usageError(QStringLiteral("--control takes a port from 1 to 65535, or ADDRESS:PORT, not '%1'").arg(value));
        if (colon > 0)
            options.controlAddress = value.left(colon).remove(u'[').remove(u']');
        options.controlPort = port;
        options.controlTokenFile = parser.value(controlTokenFile);
        // Anyone who can reach another address could steer the screen: not without a token.
        if (!isLoopbackName(options.controlAddress) && options.controlTokenFile.isEmpty())
            return usageError(QStringLiteral("--control on %1 would let anyone who reaches it steer this screen; "
                                             "give --control-token-file=FILE, or leave the address out")
                                  .arg(options.controlAddress));
    }
    // Empty, as the service passes it when no hours are set: always on.
    options.screenHours = parser.value(screenHours);
    if (!options.screenHours.isEmpty()) {
        if (!ShowingHours::read(options.screenHours))
            return usageError(QStringLiteral("--screen-hours takes hours such as 'Mon-Fri 07:00-19:00', not '%1'")
                                  .arg(options.screenHours));
    }
    options.screenOffCommand = parser.value(screenOffCommand);
    options.screenOnCommand = parser.value(screenOnCommand);
    return reading;
}
