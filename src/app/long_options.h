#pragma once

#include <QStringList>

// What the GNU-style options (--name, --name=value) ask for. They come beside the
// old "/f= /t= /r=" grammar and never change its meaning.
struct LongOptions {
    bool once = false;           // --once: Loop unticked
    bool exitAtEnd = false;      // --exit: Exit ticked
    bool cache = false;          // --cache: No Cache unticked
    bool fullScreen = false;     // --full-screen
    bool keepScreenOn = false;   // --keep-screen-on
    bool privateProfile = false; // --private
    bool follow = false;         // --follow
    int zoomPercent = 100;       // --zoom=PERCENT
    // --preload, or --full-screen without --no-preload: the next page is drawn before its turn.
    bool preload = false;
    // --pause-on-input=SECONDS: someone using the page holds it that long after; 0: never.
    int pauseOnInputSeconds = 0;
    // --control=[ADDRESS:]PORT: steering over HTTP; port 0: none. The address defaults to
    // loopback; any other needs --control-token-file=FILE.
    QString controlAddress = QStringLiteral("127.0.0.1");
    int controlPort = 0;
    QString controlTokenFile = {};
    // --screen-hours=HOURS: outside them the screen is dark; empty: always on.
    QString screenHours = {};
    // --screen-off-command, --screen-on-command: power the display down and up with
    // these instead of the X server's power saving.
    QString screenOffCommand = {};
    QString screenOnCommand = {};
};

struct ArgumentReading {
    enum class Action {
        Run,        // start the window with these options
        Answer,     // print message on standard output and end with status 0 (--help, --version)
        UsageError, // print message on standard error and end with status 2
    };
    Action action = Action::Run;
    QString message;
    LongOptions options;
    // What is left for the old grammar, in order.
    QStringList oldGrammarArguments;
};

// Takes the long options (and -h, -v) out of the program's arguments. The toolkit's
// own options (-platform NAME and the like) are passed over, so that --help is
// answered whatever else the command line holds.
// Whether an address names this machine's loopback interface: 127.x.x.x, ::1, localhost.
bool isLoopbackName(const QString& address);

ArgumentReading readArguments(const QStringList& argumentsAfterProgram);

inline constexpr int exitStatusUsageError = 2;
