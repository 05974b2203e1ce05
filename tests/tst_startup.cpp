#include "about/frmabout.h"
#include "app/command_line.h"
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

    // Playlist files go in a folder with blanks in its name.
    QTemporaryDir folder_{QDir::tempPath() + QStringLiteral("/with blanks XXXXXX")};

private slots:
    // The program's arguments: long options are taken out, and the rest is read in the old
    // grammar, as one line. A row's words may hold spaces, as quoted words do.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("read"); // file|random|interval, or how it ends
        const QString sites = QStringLiteral(R"(C:\lists\sites.txt)");
        QTest::newRow("all three") << QStringList{R"(/f=C:\lists\sites.txt /t=20 /r=Y)"} << sites + "|Y|20";
        QTest::newRow("runs of spaces") << QStringList{R"(/r=Y  /t=20   /f=C:\lists\sites.txt  )"} << sites + "|Y|20";
        QTest::newRow("lower-case value kept") << QStringList{"/r=y"} << "|y|";
        QTest::newRow("upper-case option unknown") << QStringList{"/F=a.txt", "/T=5"} << "||";
        QTest::newRow("spaces inside a value")
            << QStringList{"/f=/a/my", "lists/b.txt", "/t=5"} << "/a/my lists/b.txt||5";
        QTest::newRow("space-slash ends a value") << QStringList{R"(/f=C:\a /b.txt)"} << R"(C:\a||)";
        QTest::newRow("first occurrence counts") << QStringList{"/t=5", "/t=9"} << "||5";
        QTest::newRow("empty value at the end") << QStringList{"/t=5", "/f="} << "||5";
        QTest::newRow("value glued to other text") << QStringList{"x/t=7", "y"} << "||7 y";
        QTest::newRow("tab inside a value kept") << QStringList{"/t=\t3\t", "/r=Y"} << "|Y|\t3\t";
        QTest::newRow("user's own terminator") << QStringList{"/t=3", "/x=1"} << "||3";
        QTest::newRow("dash inside a value") << QStringList{"/f=my", "-list.txt", "/t=5"} << "my -list.txt||5";
        QTest::newRow("long options out") << QStringList{"--once", "/f=a", "b", "--zoom", "150", "/t=5"} << "a b||5";
        QTest::newRow("--version") << QStringList{"--version"} << "answer";
        QTest::newRow("-h among options") << QStringList{"/t=5", "-h"} << "answer";
        QTest::newRow("--help beside the toolkit's") << QStringList{"--help", "-platform", "offscreen"} << "answer";
        QTest::newRow("unknown word") << QStringList{"/t=5", "--fullscreen"} << "usage error";
        QTest::newRow("zoom out of range") << QStringList{"--zoom=501"} << "usage error";
        // Steering from beyond this machine needs a token.
        QTest::newRow("control on loopback") << QStringList{"--control", "8080", "/t=5"} << "||5";
        QTest::newRow("control elsewhere") << QStringList{"--control=0.0.0.0:8080"} << "usage error";
        QTest::newRow("control with a token") << QStringList{"--control=[::]:80", "--control-token-file=t"} << "||";
        QTest::newRow("control port out of range") << QStringList{"--control=70000"} << "usage error";
        QTest::newRow("hold out of range") << QStringList{"--pause-on-input=0"} << "usage error";
        QTest::newRow("screen hours") << QStringList{"--screen-hours", "Mon-Fri 07:00-19:00", "/t=5"} << "||5";
        QTest::newRow("screen hours unreadable") << QStringList{"--screen-hours=weekdays"} << "usage error";
        QTest::newRow("no screen hours, as the service says it") << QStringList{"--screen-hours=", "/t=5"} << "||5";
    }

    void commandLine()
    {
        QFETCH(QStringList, words);
        const ArgumentReading reading = readArguments(words);
        const CommandLineOptions options = parseCommandLine(reading.oldGrammarArguments.join(u' '));
        QString read = options.file + u'|' + options.random + u'|' + options.interval;
        if (reading.action != ArgumentReading::Action::Run)
            read = reading.action == ArgumentReading::Action::Answer ? "answer" : "usage error";
        QTEST(read, "read");
    }

    // A wall screen preloads unless told not to; the window only when asked.
    void preloadIsOnFullScreenUnlessToldOtherwise()
    {
        const std::pair<QStringList, bool> rows[] = {{{}, false},
                                                     {{"--full-screen"}, true},
                                                     {{"--preload"}, true},
                                                     {{"--full-screen", "--no-preload"}, false},
                                                     {{"--no-preload", "--preload"}, false}};
        for (const auto& [words, preload] : rows)
            QCOMPARE(readArguments(words).options.preload, preload);
    }

    // Without arguments nothing starts; any text starts a run (here on an empty list, which
    // asks for a URL), and the interval box takes the option's (empty) value. Long options
    // only tick boxes, through their handlers, so captions and Loop keep in step.
    void longOptionsTickBoxesAndOnlyArgumentsStartARun()
    {
        for (const auto& [commandLine, longOptions] : {std::pair(QString(), QStringList{"--once", "--cache"}),
                                                       std::pair(QStringLiteral("hello"), QStringList{"--exit"})}) {
            FakePlatform fakes;
            fakes.options = readArguments(longOptions).options;
            form2 form(fakes.platform(commandLine));
            QCOMPARE(form.txt_interval->text(), commandLine.isEmpty() ? QStringLiteral("30") : QString());
            QVERIFY(!form.ckLoop->isChecked() && form.ckExit->isChecked() == longOptions.contains("--exit"));
            QCOMPARE(form.ckCache->text(), longOptions.contains("--cache") ? "Cache" : "No Cache");
            form.show();
            QTRY_COMPARE(fakes.messages.shown.size(), commandLine.isEmpty() ? 0 : 1);
            QVERIFY(fakes.browser->navigations.isEmpty() && form.WebBrowser1->isHidden());
        }
    }

    // A kiosk started from a script has no one to read a message box: a /f= file that
    // cannot be read, or a /t= that is no number of seconds, is told on standard error in
    // one line; full screen also puts why there is no playlist on the screen.
    void problemsAtStartAreToldOnStandardError()
    {
        const QString missing = folder_.filePath("missing.txt");
        for (const auto& [commandLine, told, fullScreen] :
             {std::tuple{"/f=" + missing + " /t=5", missing + "\" could not be opened: there is no such file", true},
              {"/f=" + folder_.path() + " /t=5", folder_.path() + "\" could not be opened: it is a folder", false},
              {QString("/t=20s"), QString("/t=20s is not a number of seconds; each page shows for 1 second"), false},
              {QString("/r=Y /t=-5"), QString("/t=-5 is not a number of seconds"), true},
              {QString("/t=0.4"), QString("/t=0.4 is less than 1 second; each page shows for 1 second"), false}}) {
            QTemporaryFile errors;
            QVERIFY(errors.open());
            std::fflush(stderr);
            const int standardError = ::dup(STDERR_FILENO);
            ::dup2(errors.handle(), STDERR_FILENO);
            FakePlatform fakes;
            fakes.options.fullScreen = fullScreen;
            form2 form(fakes.platform(commandLine));
            std::fflush(stderr);
            ::dup2(standardError, STDERR_FILENO);
            ::close(standardError);
            const QByteArray written = errors.seek(0) ? errors.readAll() : QByteArray();
            QVERIFY2(written.count('\n') == 1 && written.contains(told.toUtf8()), written.constData());
            // Nothing to show: a message box in the window, a card in full screen.
            form.show();
            QTRY_COMPARE(fakes.messages.shown.size() + fakes.browser->cards.size(), 1);
            QCOMPARE(fakes.browser->cards.size(), fullScreen ? 1 : 0);
            if (fullScreen && commandLine.contains(missing))
                QVERIFY(fakes.browser->cards.first().contains(told) && form.WebBrowser1->isVisible());
        }
    }

    // The options are applied while the window loads. The first page starts the browser
    // engine, which holds the window's thread for a second or more: a kiosk started with
    // /f= must show its window before that. Coming back from the About box starts a new
    // run; coming back from a message box does not.
    void runsStartOnceTheWindowIsShownAndBackFromTheAboutBox()
    {
        FakePlatform fakes;
        QFile list(folder_.filePath(QStringLiteral("sites.txt")));
        QVERIFY(list.open(QIODevice::WriteOnly) && list.write("http://a/\r\nhttp://b/\r\n") > 0 && list.flush());
        form2 form(fakes.platform("/f=" + list.fileName() + " /t=2 /r=Y"));
        QVERIFY(form.txt_interval->text() == u"2" && form.lstPlayList->count() == 2
                && form.chk_random->text() == u"Random - Y" && fakes.browser->navigations.isEmpty());
        // Each page asked for, and whether the window was on the screen by then (it paints as
        // it comes); b stops the run.
        QStringList pages;
        fakes.browser->onNavigate = [&](const QString& url) {
            pages << QUrl(url).host() + (form.windowHandle()->isExposed() ? "" : " not shown");
            if (url.startsWith(QLatin1String("http://b/")))
                form.stop_button_Click();
        };
        form.show();
        QTRY_COMPARE(pages, (QStringList{"a", "b"}));

        form.About_Click();
        QMessageBox message(QMessageBox::NoIcon, QStringLiteral("Veltrase"), QStringLiteral("text"));
        for (QWidget* window : {static_cast<QWidget*>(form.aboutBox()), static_cast<QWidget*>(&message)}) {
            for (QWidget* focused : {window, static_cast<QWidget*>(&form)}) {
                focused->show();
                focused->activateWindow();
                QTRY_COMPARE(QGuiApplication::focusWindow(), focused->windowHandle());
            }
            window->hide();
        }
        QCoreApplication::processEvents();
        QCOMPARE(pages, (QStringList{"a", "b", "a", "b"}));
    }
};

QTEST_MAIN(Startup)
#include "tst_startup.moc"
