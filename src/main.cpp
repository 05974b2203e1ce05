#include "app/application_look.h"
#include "app/long_options.h"
#include "app/main_window.h"
#include "browse/browser_settings.h"
#include "browse/engine_on_demand_browser.h"
#include "platform/application_title.h"
#include "platform/clock.h"
#include "platform/command_line_text.h"
#include "platform/display_power.h"
#include "platform/event_pump.h"
#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/platform.h"
#include "platform/process_end.h"
#include "platform/random_source.h"
#include "platform/sandbox_check.h"
#include "platform/screen_keeper.h"
#include "platform/service_notifier.h"
#include "platform/termination_signals.h"

#include <QApplication>
#include <QLoggingCategory>

#include <cstdio>
#include <memory>

namespace {

// A wall screen's journal holds what the program says. The engine's own lines (its GL
// set-up, its GPU thread's transient failures, pages' console messages) are noise
// there; VELTRASE_ENGINE_LOG=1 lets them through for a bug report. Set before the
// engine starts, which reads its flags once.
void quietEngineUnlessAsked()
{
    if (qEnvironmentVariable("VELTRASE_ENGINE_LOG") == QLatin1String("1"))
        return;
    // A level the user chose stays theirs.
    if (QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"); !flags.contains("--log-level")) {
        flags += flags.isEmpty() ? "--log-level=3" : " --log-level=3";
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    }
    // QT_LOGGING_RULES still overrides these.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false\njs=false"));
}

} // namespace

int main(int argc, char* argv[])
{
    const auto argumentsAfterProgram = [&argc, argv] {
        QStringList arguments;
        for (int i = 1; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        return arguments;
    };
    // Answered without a window, so they work on a machine without a display.
    if (const ArgumentReading reading = readArguments(argumentsAfterProgram());
        reading.action != ArgumentReading::Action::Run) {
        const bool answered = reading.action == ArgumentReading::Action::Answer;
        std::fputs(qUtf8Printable(reading.message), answered ? stdout : stderr);
        return answered ? 0 : exitStatusUsageError;
    }
    if (const QString reason = reasonBrowserCannotStart(); !reason.isEmpty()) {
        std::fputs(qUtf8Printable(reason), stderr);
        return 1;
    }
    endOnTerminationSignals();
    quietEngineUnlessAsked();

    // The browser engine shares its GL contexts with the window; this must be set
    // before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setApplicationName(applicationTitle());
    QApplication::setApplicationVersion(applicationVersion());
    applyApplicationLook(application);

    QtEventPump pump;
    SystemClock clock;
    TimeSeededRandom random;
    QtMessageBoxes messages;
    QtFileDialogs dialogs;
    const std::unique_ptr<ServiceNotifier> service = serviceNotifierForThisProcess();
    QtProcessEnd processEnd([&service] { service->stopping(); });
    // Reaches the desktop only when a run asks it to hold the screen awake.
    DesktopScreenKeeper screenKeeper;

    // The application took its own options (such as -platform) out of argv.
    const ArgumentReading arguments = readArguments(argumentsAfterProgram());
    // Used only outside the screen's hours, when the options give them.
    SystemDisplayPower displayPower(arguments.options.screenOffCommand, arguments.options.screenOnCommand);
    const Platform platform{
        pump,
        clock,
        random,
        messages,
        dialogs,
        processEnd,
        [settings = browserSettingsFor(arguments.options)](QWidget* parent) {
            return new EngineOnDemandBrowser(QApplication::applicationDirPath() + QLatin1Char('/')
                                                 + EngineOnDemandBrowser::pluginFileName(),
                                             parent, settings);
        },
        commandLineText(arguments.oldGrammarArguments),
        QApplication::applicationDirPath(),
        arguments.options,
        service.get(),
        &screenKeeper,
        &displayPower,
    };
    return runMainWindow(platform, processEnd);
}
