#include "app/form2.h"

#include "about/frmabout.h"
#include "app/command_line.h"
#include "app/full_screen.h"
#include "app/state_texts.h"
#include "browse/dwell_interval.h"
#include "browse/web_browser.h"
#include "platform/service_notifier.h"
#include "playlist/playlist_messages.h"
#include "playlist/playlist_source.h"

#include <QGuiApplication>
#include <QWindow>

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>

#include <cstdio>

void form2::Form_Load()
{
    setWindowTitle(QStringLiteral("Veltrase Pro Version"));
    CmdLine = platform_.commandLine;
    OptInterval.clear();
    OptFile.clear();
    StopFlag = kNo;
    WebBrowser1->setVisible(false);
    AutoStartFlag = kNo;
    ParseCommandLine();
    if (!CmdLine.isEmpty()) {
        // Written even when empty: the first dwell then makes it "1".
        txt_interval->setText(OptInterval);
        if (OptRandom == kYes)
            chk_random->setChecked(true);
        PlaylistPath = OptFile;
        // No window is up yet to show a problem with the file: it goes to standard error.
        // A file that is not there is a problem here too: an unattended screen would
        // otherwise come up with an empty playlist and no word why.
        QString problem = loadPlaylistAtStart();
        if (problem.isEmpty() && !PlaylistPath.isEmpty() && !PlaylistSource::isAddress(PlaylistPath)
            && !QFileInfo::exists(PlaylistPath))
            problem = playlistOpenFailedMessage(PlaylistPath, QStringLiteral("there is no such file"));
        if (!problem.isEmpty())
            std::fprintf(stderr, "veltrase: %s\n", qUtf8Printable(problem));
        playlistProblem_ = problem;
        if (const QString typo = intervalOptionProblem(OptInterval); !typo.isEmpty())
            std::fprintf(stderr, "veltrase: %s\n", qUtf8Printable(typo));
        AutoStartFlag = kYes;
    }
    applyLongOptions();
}

QString form2::intervalOptionProblem(const QString& interval)
{
    // The rule stays (such a value means one second), but a typo in a kiosk's command
    // line must not pass unnoticed. An empty /t= is the documented way to get the default.
    if (interval.isEmpty() || !intervalNeedsReplacing(interval))
        return {};
    const std::optional<double> seconds = parseIntervalNumber(interval);
    const QString what = seconds && *seconds > 0 ? QStringLiteral("is less than 1 second")
                                                 : QStringLiteral("is not a number of seconds");
    return QStringLiteral("/t=%1 %2; each page shows for 1 second").arg(interval, what);
}

void form2::applyLongOptions()
{
    const LongOptions& options = platform_.options;
    // Through the ticks, so each box's own handler keeps its caption and Loop in step.
    if (options.once)
        ckLoop->setChecked(false);
    if (options.exitAtEnd)
        ckExit->setChecked(true);
    if (options.cache)
        ckCache->setChecked(false);
    if (options.fullScreen)
        fullScreen_->enter();
}

void form2::ParseCommandLine()
{
    const CommandLineOptions options = parseCommandLine(CmdLine);
    OptFile = options.file;
    OptRandom = options.random;
    OptInterval = options.interval;
}

void form2::watchActivations()
{
    // The window counts as activated when it is first shown and when the user comes
    // back to it from the About box. Coming back from another program, a message box
    // or a file dialog is not an activation: each would start another nested run.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* focused) {
        if (!focused)
            return;
        if (focused != windowHandle()) {
            lastOtherFocusWindow_ = focused;
            return;
        }
        const bool fromAboutBox
            = aboutBox_ && lastOtherFocusWindow_ && lastOtherFocusWindow_ == aboutBox_->windowHandle();
        lastOtherFocusWindow_ = nullptr;
        if (fromAboutBox)
            QMetaObject::invokeMethod(this, &form2::Form_Activate, Qt::QueuedConnection);
    });
}

void form2::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (shownBefore_)
        return;
    shownBefore_ = true;
    // From the event loop, once the window system has exposed the window and it has
    // painted: the first page starts the browser engine, which holds this thread for a
    // second or more, and a kiosk must not show an empty frame meanwhile. The window
    // is exposed only after this call returns, so sync() waits for it there.
    QMetaObject::invokeMethod(
        this,
        [this] {
            QGuiApplication::sync();
            if (platform_.service)
                platform_.service->ready();
            Form_Activate();
        },
        Qt::QueuedConnection);
}

void form2::Form_Activate()
{
    if (AutoStartFlag == kYes)
        AutoStart();
}

void form2::AutoStart()
{
    start_button_Click();
}
