#include "about/frmabout.h"
#include "app/command_line.h"
#include "app/long_options.h"
#include "support/fake_window.h"

#include <QMessageBox>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include <cstdio>
#include <unistd.h>

// Start-up from the command line: the option grammar, what the window does with
// the options, and when it starts browsing by itself.
class Startup : public QObject {
    Q_OBJECT

private slots:
    void optionGrammar_data();
    void optionGrammar();
    void longOptions_data();
    void longOptions();
    void longOptionsSetTheTicksAndNothingElseStartsByItself();
    void unreadablePlaylistFileIsNamedOnStandardError();
    void optionsAreAppliedAndTheWindowIsPaintedBeforeTheFirstPage();
    void activations();

private:
    // A playlist file in a folder with blanks in its name; returns its path.
    QString writePlaylist(const QByteArray& bytes)
    {
        QFile file(folder_.filePath(QStringLiteral("sites.txt")));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? file.fileName() : QString();
    }
    QTemporaryDir folder_{QDir::tempPath() + QStringLiteral("/with blanks XXXXXX")};
};

void Startup::optionGrammar_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("random");
    QTest::addColumn<QString>("interval");

    const QString sites = QStringLiteral(R"(C:\lists\sites.txt)");
    QTest::newRow("all three") << R"(/f=C:\lists\sites.txt /t=20 /r=Y)" << sites << "Y"
                               << "20";
    QTest::newRow("other order, several spaces") << R"(/r=Y  /t=20    /f=C:\lists\sites.txt   )" << sites << "Y"
                                                 << "20";
    QTest::newRow("lower-case value kept as typed") << "/r=y"
                                                    << ""
                                                    << "y"
                                                    << "";
    QTest::newRow("upper-case option not recognised") << "/F=a.txt /T=5"
                                                      << ""
                                                      << ""
                                                      << "";
    QTest::newRow("spaces inside a value") << "/f=/home/me/my lists/a.txt /t=5"
                                           << "/home/me/my lists/a.txt"
                                           << ""
                                           << "5";
    QTest::newRow("space-slash ends a value") << R"(/f=C:\a /b.txt)"
                                              << R"(C:\a)"
                                              << ""
                                              << "";
    QTest::newRow("first occurrence counts") << "/t=5 /t=9"
                                             << ""
                                             << ""
                                             << "5";
    QTest::newRow("empty value at the very end") << "/t=5 /f="
                                                 << ""
                                                 << ""
                                                 << "5";
    QTest::newRow("value glued to other text") << "x/t=7 y"
                                               << ""
                                               << ""
                                               << "7 y";
    QTest::newRow("tab inside a value kept") << "/t=\t3\t /r=Y"
                                             << ""
                                             << "Y"
                                             << "\t3\t";
    QTest::newRow("user's own terminator") << "/t=3 /x=1"
                                           << ""
                                           << ""
                                           << "3";
}

void Startup::optionGrammar()
{
    QFETCH(QString, arguments);
    const CommandLineOptions options = parseCommandLine(arguments);
    QTEST(options.file, "file");
    QTEST(options.random, "random");
    QTEST(options.interval, "interval");
}

void Startup::longOptions_data()
{
    using Action = ArgumentReading::Action;
    QTest::addColumn<QString>("line");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("oldGrammar");

    QTest::newRow("--version") << "--version" << Action::Answer << "";
    QTest::newRow("-h among options") << "/t=5 -h" << Action::Answer << "";
    QTest::newRow("--help beside the toolkit's") << "--help -platform offscreen" << Action::Answer << "";
    QTest::newRow("old grammar word for word") << "/f=my -list.txt /t=5" << Action::Run << "/f=my -list.txt /t=5";
    QTest::newRow("long options taken out") << "--once /f=a b.txt --zoom 150 /t=5" << Action::Run << "/f=a b.txt /t=5";
    QTest::newRow("unknown word") << "/t=5 --fullscreen" << Action::UsageError << "";
    QTest::newRow("zoom out of range") << "--zoom=501" << Action::UsageError << "";
}

void Startup::longOptions()
{
    QFETCH(QString, line);
    const ArgumentReading reading = readArguments(line.split(u' ', Qt::SkipEmptyParts));
    QTEST(reading.action, "action");
    if (reading.action == ArgumentReading::Action::Run)
        QTEST(reading.oldGrammarArguments.join(u' '), "oldGrammar");
    if (reading.action == ArgumentReading::Action::UsageError)
        QVERIFY2(reading.message.contains(QLatin1String("--help")), qPrintable(reading.message));
}

void Startup::longOptionsSetTheTicksAndNothingElseStartsByItself()
{
    FakePlatform ticks;
    ticks.options = readArguments({"--exit", "--cache", "--zoom=25"}).options;
    form2 ticked(ticks.platform());
    QVERIFY(ticks.options.zoomPercent == 25 && ticked.ckExit->isChecked() && !ticked.ckLoop->isChecked());
    QVERIFY(ticked.ckCache->text() == u"Cache" && ticked.AutoStartFlag == u"N");
    FakePlatform once;
    once.options.once = true;
    form2 onceForm(once.platform());
    QVERIFY(!onceForm.ckLoop->isChecked() && !onceForm.ckExit->isChecked());

    // Without arguments nothing starts; any text starts a run (here on an empty list),
    // and the interval box takes the option's (empty) value.
    for (const QString commandLine : {"", "hello"}) {
        FakePlatform fakes;
        form2 form(fakes.platform(commandLine));
        QCOMPARE(form.txt_interval->text(), commandLine.isEmpty() ? QStringLiteral("30") : QString());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCoreApplication::processEvents();
        QCOMPARE(fakes.messages.shown.size(), commandLine.isEmpty() ? 0 : 1);
        QVERIFY(fakes.browser->navigations.isEmpty() && form.WebBrowser1->isHidden());
    }
}

// A kiosk started from a script has no one to read a message box: a /f= file that
// cannot be read is named on standard error, one line with the reason, and the run
// goes on with an empty list.
void Startup::unreadablePlaylistFileIsNamedOnStandardError()
{
    for (const auto& [path, reason] : {std::pair{folder_.filePath("missing.txt"), QByteArray("no such file")},
                                       std::pair{folder_.path(), QByteArray("it is a folder")}}) {
        QTemporaryFile errors;
        QVERIFY(errors.open());
        std::fflush(stderr);
        const int standardError = ::dup(STDERR_FILENO);
        ::dup2(errors.handle(), STDERR_FILENO);
        FakePlatform fakes;
        form2 form(fakes.platform(QStringLiteral("/f=") + path + QStringLiteral(" /t=5")));
        std::fflush(stderr);
        ::dup2(standardError, STDERR_FILENO);
        ::close(standardError);
        QVERIFY(errors.seek(0));
        const QByteArray written = errors.readAll();
        QVERIFY2(written.count('\n') == 1 && written.contains(path.toUtf8()) && written.contains(reason),
                 written.constData());
        QVERIFY(form.AutoStartFlag == u"Y" && form.lstPlayList->count() == 0);
    }
}

// The first navigation starts the browser engine, which holds the window's thread for
// a second or more: a kiosk started with /f= must show its window before that.
void Startup::optionsAreAppliedAndTheWindowIsPaintedBeforeTheFirstPage()
{
    const QString listPath = writePlaylist("http://a/\r\nhttp://b/\r\n");
    FakePlatform fakes;
    form2 form(fakes.platform(QStringLiteral("/f=") + listPath + QStringLiteral(" /t=2 /r=Y")));

    // Applied while loading, before the window shows.
    QVERIFY(form.txt_interval->text() == u"2" && form.lstPlayList->count() == 2
            && fakes.browser->navigations.isEmpty());
    QCOMPARE(form.chk_random->text(), QStringLiteral("Random - Y"));

    struct PaintWatch final : QObject {
        bool painted = false;
        bool eventFilter(QObject*, QEvent* event) override
        {
            painted |= event->type() == QEvent::Paint;
            return false;
        }
    } watch;
    form.installEventFilter(&watch);
    QList<bool> paintedAtPage;
    fakes.browser->onNavigate = [&](const QString& url) {
        paintedAtPage << watch.painted;
        if (url.startsWith(QLatin1String("http://b/?")))
            form.stop_button_Click();
    };
    form.show();
    QTRY_COMPARE(paintedAtPage, (QList<bool>{true, true}));
    QVERIFY(fakes.browser->navigations.first().startsWith(QLatin1String("http://a/?")));
}

// Coming back from the About box starts a new run; from a message box it does not.
void Startup::activations()
{
    for (const bool fromAboutBox : {true, false}) {
        FakePlatform fakes;
        form2 form(fakes.platform(QStringLiteral("/f=") + writePlaylist("http://first/\r\nhttp://second/\r\n")));
        // Each run is stopped as soon as its first page is asked for.
        fakes.browser->onNavigate = [&](const QString&) { form.stop_button_Click(); };
        form.show();
        QTRY_COMPARE(fakes.browser->navigations.size(), 1);
        QMessageBox message(QMessageBox::NoIcon, QStringLiteral("Veltrase"), QStringLiteral("text"));
        form.activateWindow();
        QTRY_COMPARE(QGuiApplication::focusWindow(), form.windowHandle());
        if (fromAboutBox)
            form.About_Click();
        QWidget* other = fromAboutBox ? static_cast<QWidget*>(form.aboutBox()) : &message;
        for (QWidget* window : {other, static_cast<QWidget*>(&form)}) {
            window->show();
            window->activateWindow();
            QTRY_COMPARE(QGuiApplication::focusWindow(), window->windowHandle());
            message.hide();
        }
        QCoreApplication::processEvents();
        // A new run begins at the first entry.
        QCOMPARE(fakes.browser->navigations.size(), fromAboutBox ? 2 : 1);
        QVERIFY(fakes.browser->navigations.last().startsWith(QLatin1String("http://first/")));
    }
}

QTEST_MAIN(Startup)
#include "tst_startup.moc"
