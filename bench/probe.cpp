// Measurements that need to be inside the program: the browser adapter driven as fast
// as pages complete, Start to the first request with a big playlist, and a click on
// Stop in the middle of a dwell. A Python script drives each mode over
// standard input and output and watches the process tree and the page server from
// outside (see the scripts beside this file). Built twice: veltrase_probe holds the
// browser adapter itself; veltrase_window_probe has the program's window and browser,
// which loads the engine from its plugin on the first page, as the program does.
//
//   veltrase_probe memory URL_PREFIX LOADS CHECKPOINT...
//       navigates URL_PREFIX0.html, URL_PREFIX1.html, ... each as soon as the last
//       completed; at each checkpoint prints "loaded N" and waits for a line.
//   veltrase_window_probe start PLAYLIST
//       opens PLAYLIST through the window, then prints "start T" (monotonic seconds)
//       before each of two Starts, each stopped by a line on standard input.
//   veltrase_window_probe stop URL TRIALS
//       starts a 30-second dwell on URL, clicks Stop at a random moment from another
//       thread's clock, prints "stop_ms" from the click to the six controls enabled.

#include "app/form2.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/random_source.h"
#include "probe_platform.h"

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTest>

#ifdef PROBE_BROWSER_ADAPTER
#include "browse/webengine/webengine_browser.h"
#include <QWebEnginePage>
#include <QWebEngineView>
#else
#include "browse/engine_on_demand_browser.h"
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

using SteadyClock = std::chrono::steady_clock;

void say(const char* format, auto... values)
{
    std::printf(format, values...);
    std::printf("\n");
    std::fflush(stdout);
}

// Lines from the driver, read without blocking the event loop: the dwell wait and the
// engine both need it to run while the probe waits for its next instruction.
class DriverLines final : public QObject {
public:
    DriverLines()
        : notifier_(STDIN_FILENO, QSocketNotifier::Read)
    {
        connect(&notifier_, &QSocketNotifier::activated, this, [this] {
            char buffer[256];
            const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (got <= 0) {
                // The driver went away: nothing will ever tell the probe to go on.
                notifier_.setEnabled(false);
                std::_Exit(3);
            }
            for (ssize_t i = 0; i < got; ++i) {
                if (buffer[i] == '\n' && onLine)
                    onLine();
            }
        });
    }

    // Runs the event loop until the driver sends a line.
    void waitForLine()
    {
        QEventLoop loop;
        std::function<void()> outer = std::exchange(onLine, [&loop] { loop.quit(); });
        loop.exec();
        onLine = std::move(outer);
    }

    std::function<void()> onLine;

private:
    QSocketNotifier notifier_;
};

#ifdef PROBE_BROWSER_ADAPTER

int measureMemory(const QStringList& arguments)
{
    const QString prefix = arguments.value(0);
    const int loads = arguments.value(1).toInt();
    QList<int> checkpoints;
    for (const QString& checkpoint : arguments.mid(2))
        checkpoints << checkpoint.toInt();

    DriverLines driver;
    WebEngineBrowser browser;
    browser.resize(689, 329);
    browser.show();

    int completed = 0;
    int failed = 0;
    const auto navigateNext = [&] { browser.Navigate(prefix + QString::number(completed) + QStringLiteral(".html")); };
    QObject::connect(&browser, &WebBrowser::DocumentComplete, &browser, [&] {
        ++completed;
        if (completed == loads || checkpoints.contains(completed)) {
            say("loaded %d failed %d", completed, failed);
            if (completed == loads)
                return;
            driver.waitForLine();
        }
        // Queued, so the engine finishes its own work on the load before the next.
        QMetaObject::invokeMethod(&browser, navigateNext, Qt::QueuedConnection);
    });

    navigateNext();
    // Connected after the engine started, and so after the adapter's own connection.
    QObject::connect(browser.view()->page(), &QWebEnginePage::loadFinished, &browser, [&](bool ok) {
        if (!ok)
            ++failed;
    });
    driver.waitForLine();
    return 0;
}

#else

double monotonicSeconds()
{
    // The same clock as Python's time.monotonic(), so the driver can compare moments.
    return std::chrono::duration<double>(SteadyClock::now().time_since_epoch()).count();
}

struct ProbePlatform {
    QtEventPump pump;
    SystemClock clock;
    TimeSeededRandom random;
    PrintedMessages messages;
    AnsweredFileDialogs dialogs;
    RecordedProcessEnd processEnd;

    Platform platform()
    {
        // The program's own browser: the engine comes from its plugin on the first page.
        return Platform{
            pump,
            clock,
            random,
            messages,
            dialogs,
            processEnd,
            [](QWidget* parent) { return new EngineOnDemandBrowser(QStringLiteral(VELTRASE_ENGINE_PLUGIN), parent); },
            QString(),
            QString()};
    }
};

int measureStart(const QStringList& arguments)
{
    ProbePlatform services;
    services.dialogs.openName = arguments.value(0);

    DriverLines driver;
    form2 window(services.platform());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 2;
    window.cmdOpen_Click();
    QCoreApplication::processEvents();
    if (services.messages.count > 0)
        return 4;
    say("entries %d", int(window.lstPlayList->count()));

    // A dwell longer than the measurement, so the first request stands alone.
    window.txt_interval->setText(QStringLiteral("30"));
    driver.onLine = [&window] { window.stop_button_Click(); };
    // The first Start also starts the browser engine; the second finds it running.
    for (const char* engine : {"cold", "warm"}) {
        say("start %.6f engine %s", monotonicSeconds(), engine);
        window.start_button_Click();
    }
    driver.onLine = nullptr;
    say("done");
    return 0;
}

int measureStop(const QStringList& arguments)
{
    ProbePlatform services;
    const int trials = qMax(1, arguments.value(1).toInt());

    form2 window(services.platform());
    window.lstPlayList->addItem(arguments.value(0));
    window.txt_interval->setText(QStringLiteral("30"));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 2;

    const QList<QWidget*> editing{window.cmdRemoveItem,  window.cmdAddItem,   window.chk_random,
                                  window.url1_count_txt, window.txt_interval, window.txt_url1};
    std::atomic<double> clickedAt{0};
    double enabledAt = 0;
    // Noticed as the widgets change, not when the handler returns: what counts is the
    // moment the user could use them.
    class EnabledWatch final : public QObject {
    public:
        std::function<void()> changed;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::EnabledChange)
                changed();
            return false;
        }
    } watch;
    watch.changed = [&] {
        if (enabledAt == 0 && std::all_of(editing.begin(), editing.end(), [](QWidget* w) { return w->isEnabled(); }))
            enabledAt = monotonicSeconds();
    };
    for (QWidget* control : editing)
        control->installEventFilter(&watch);

    std::mt19937 draw(std::random_device{}());
    std::uniform_int_distribution<int> moment(2000, 9000);
    for (int trial = 0; trial < trials; ++trial) {
        enabledAt = 0;
        const int delayMs = moment(draw);
        // The click comes from outside the window's thread, as the window system's
        // would, so a window that does not look at its events is caught out.
        std::thread clicker([&window, &clickedAt, delayMs] {
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            clickedAt = monotonicSeconds();
            QMetaObject::invokeMethod(
                window.stop_button, [&window] { QTest::mouseClick(window.stop_button, Qt::LeftButton); },
                Qt::QueuedConnection);
        });
        window.start_button_Click();
        clicker.join();
        if (enabledAt == 0)
            return 5;
        say("stop_ms %.2f after_ms %d", (enabledAt - clickedAt) * 1000, delayMs);
    }
    return 0;
}

#endif

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const QString mode = arguments.isEmpty() ? QString() : arguments.takeFirst();
#ifdef PROBE_BROWSER_ADAPTER
    if (mode == QLatin1String("memory"))
        return measureMemory(arguments);
    std::fprintf(stderr, "usage: veltrase_probe memory URL_PREFIX LOADS CHECKPOINT...\n");
#else
    if (mode == QLatin1String("start"))
        return measureStart(arguments);
    if (mode == QLatin1String("stop"))
        return measureStop(arguments);
    std::fprintf(stderr, "usage: veltrase_window_probe start|stop ...\n");
#endif
    return 1;
}
