#include "about/frmabout.h"
#include "app/command_line.h"
#include "app/form2.h"
#include "app/long_options.h"
#include "support/fake_platform.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
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
    void readOptionAtPosition();
    void longOptions_data();
    void longOptions();
    void longOptionsSetTheTicks();
    void withoutArgumentsNothingStarts();
    void optionsAreAppliedAndBrowsingStartsOnFirstShow();
    void emptyListAtAutoStartShowsTheMessage();
    void unreadablePlaylistFileIsNamedOnStandardError_data();
    void unreadablePlaylistFileIsNamedOnStandardError();
    void windowIsPaintedBeforeTheFirstPage();
    void activations_data();
    void activations();
};

namespace {

// A playlist file with the given bytes in the folder; returns its path.
QString writePlaylist(const QTemporaryDir& folder, const QByteArray& bytes)
{
    const QString path = folder.filePath(QStringLiteral("sites.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test playlist");
    return path;
}

} // namespace

void Startup::optionGrammar_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("random");
    QTest::addColumn<QString>("interval");

    const QString sites = QStringLiteral(R"(C:\lists\sites.txt)");
    QTest::newRow("all three") << QStringLiteral(R"(/f=C:\lists\sites.txt /t=20 /r=Y)") << sites << "Y" << "20";
    QTest::newRow("other order") << QStringLiteral(R"(/r=Y /t=20 /f=C:\lists\sites.txt)") << sites << "Y" << "20";
    QTest::newRow("several spaces") << QStringLiteral(R"(/t=20    /f=C:\lists\sites.txt   /r=Y  )") << sites << "Y"
                                    << "20";
    QTest::newRow("lower-case value kept as typed") << QStringLiteral("/r=y") << "" << "y" << "";
    QTest::newRow("upper-case option not recognised") << QStringLiteral("/F=a.txt /T=5") << "" << "" << "";
    QTest::newRow("spaces inside a value") << QStringLiteral("/f=/home/me/my lists/a.txt /t=5")
                                           << "/home/me/my lists/a.txt" << "" << "5";
    QTest::newRow("space-slash ends a value") << QStringLiteral(R"(/f=C:\a /b.txt)") << R"(C:\a)" << "" << "";
    QTest::newRow("interval alone") << QStringLiteral("/t=15") << "" << "" << "15";
    QTest::newRow("lone word") << QStringLiteral("hello") << "" << "" << "";
    QTest::newRow("first occurrence counts") << QStringLiteral("/t=5 /t=9") << "" << "" << "5";
    QTest::newRow("empty value at the very end") << QStringLiteral("/t=5 /f=") << "" << "" << "5";
    QTest::newRow("value glued to other text") << QStringLiteral("x/t=7 y") << "" << "" << "7 y";
    QTest::newRow("user's own terminator") << QStringLiteral("/t=3 /x=1") << "" << "" << "3";
    QTest::newRow("nothing") << QString() << "" << "" << "";
}

void Startup::optionGrammar()
{
    QFETCH(QString, arguments);
    const CommandLineOptions options = parseCommandLine(arguments);
    QTEST(options.file, "file");
    QTEST(options.random, "random");
    QTEST(options.interval, "interval");
}

void Startup::readOptionAtPosition()
{
    const QString working = QStringLiteral("/t= 12  /x=");
    QCOMPARE(readOption(working, 1), QStringLiteral("12"));
    QCOMPARE(readOption(working, 0), QString());
    QCOMPARE(readOption(working, -3), QString());
    // Without a following " /" there is no value.
    QCOMPARE(readOption(QStringLiteral("/t=12"), 1), QString());
}

void Startup::longOptions_data()
{
    using Action = ArgumentReading::Action;
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("oldGrammar");

    const auto row = [](const char* name, const QString& line, Action action, const QString& oldGrammar) {
        QTest::newRow(name) << line.split(QLatin1Char(' '), Qt::SkipEmptyParts) << int(action) << oldGrammar;
    };
    row("--version", QStringLiteral("--version"), Action::Answer, {});
    row("-h among options", QStringLiteral("/t=5 -h"), Action::Answer, {});
    row("--help beside the toolkit's options", QStringLiteral("--help -platform offscreen"), Action::Answer, {});
    row("old grammar word for word", QStringLiteral("/f=my -list.txt /t=5"), Action::Run,
        QStringLiteral("/f=my -list.txt /t=5"));
    row("long options taken out", QStringLiteral("--once /f=a b.txt --zoom 150 /t=5"), Action::Run,
        QStringLiteral("/f=a b.txt /t=5"));
    row("unknown word", QStringLiteral("/t=5 --fullscreen"), Action::UsageError, {});
    row("zoom out of range", QStringLiteral("--zoom=501"), Action::UsageError, {});
    row("zoom not a number", QStringLiteral("--zoom=big"), Action::UsageError, {});
}

void Startup::longOptions()
{
    QFETCH(QStringList, arguments);
    const ArgumentReading reading = readArguments(arguments);
    QTEST(int(reading.action), "action");
    if (reading.action == ArgumentReading::Action::Run)
        QTEST(reading.oldGrammarArguments.join(QLatin1Char(' ')), "oldGrammar");
    if (reading.action == ArgumentReading::Action::UsageError)
        QVERIFY2(reading.message.contains(QLatin1String("--help")), qPrintable(reading.message));
}

void Startup::longOptionsSetTheTicks()
{
    FakePlatform fakes;
    fakes.options = readArguments({QStringLiteral("--exit"), QStringLiteral("--cache"), QStringLiteral("--zoom=25")}).options;
    QCOMPARE(fakes.options.zoomPercent, 25);
    form2 form(fakes.platform());
    QVERIFY(form.ckExit->isChecked());
    QVERIFY(!form.ckLoop->isChecked());
    QCOMPARE(form.ckCache->text(), QStringLiteral("Cache"));
    QCOMPARE(form.AutoStartFlag, QStringLiteral("N"));

    FakePlatform once;
    once.options.once = true;
    form2 onceForm(once.platform());
    QVERIFY(!onceForm.ckLoop->isChecked());
    QVERIFY(!onceForm.ckExit->isChecked());
}

void Startup::withoutArgumentsNothingStarts()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCoreApplication::processEvents();

    QCOMPARE(form.windowTitle(), QStringLiteral("Veltrase Pro Version"));
    QCOMPARE(form.txt_interval->text(), QStringLiteral("30"));
    QCOMPARE(form.AutoStartFlag, QStringLiteral("N"));
    QCOMPARE(form.StopFlag, QStringLiteral("N"));
    QVERIFY(form.WebBrowser1->isHidden());
    QVERIFY(fakes.browser->navigations.isEmpty());
    QVERIFY(fakes.messages.shown.isEmpty());
}

void Startup::optionsAreAppliedAndBrowsingStartsOnFirstShow()
{
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/with blanks XXXXXX"));
    const QString listPath = writePlaylist(folder, "http://a/\r\nhttp://b/\r\n");

    FakePlatform fakes;
    form2 form(fakes.platform(QStringLiteral("/f=") + listPath + QStringLiteral(" /t=2 /r=Y")));

    // Applied while loading, before the window shows.
    QCOMPARE(form.PlaylistPath, listPath);
    QCOMPARE(form.txt_interval->text(), QStringLiteral("2"));
    QVERIFY(form.chk_random->isChecked());
    QCOMPARE(form.chk_random->text(), QStringLiteral("Random - Y"));
    QCOMPARE(form.lstPlayList->count(), 2);
    QCOMPARE(form.AutoStartFlag, QStringLiteral("Y"));
    QVERIFY(fakes.browser->navigations.isEmpty());

    fakes.browser->onNavigate = [&](const QString& url) {
        if (url.startsWith(QLatin1String("http://b/")))
            form.stop_button_Click();
    };
    form.show();
    QTRY_COMPARE(fakes.browser->navigations.size(), 2);
    QVERIFY(fakes.browser->navigations.first().startsWith(QLatin1String("http://a/?")));
}

void Startup::emptyListAtAutoStartShowsTheMessage()
{
    FakePlatform fakes;
    form2 form(fakes.platform(QStringLiteral("hello")));
    QCOMPARE(form.txt_interval->text(), QString());
    QCOMPARE(form.AutoStartFlag, QStringLiteral("Y"));

    form.show();

    QTRY_COMPARE(fakes.messages.shown, QStringList{QStringLiteral("Please enter at least one URL or open a file.")});
}

void Startup::unreadablePlaylistFileIsNamedOnStandardError_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("reason");

    QTest::newRow("missing") << QStringLiteral("missing.txt") << QByteArray("no such file");
    QTest::newRow("folder") << QString() << QByteArray("it is a folder");
}

void Startup::unreadablePlaylistFileIsNamedOnStandardError()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, reason);
    QTemporaryDir folder;
    const QString path = name.isEmpty() ? folder.path() : folder.filePath(name);
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
    QCOMPARE(written.count('\n'), 1);
    QVERIFY2(written.contains(path.toUtf8()) && written.contains(reason), written.constData());
    QCOMPARE(form.AutoStartFlag, QStringLiteral("Y"));
    QCOMPARE(form.lstPlayList->count(), 0);
}

// The first navigation starts the browser engine, which holds the window's thread for
// a second or more: a kiosk started with /f= must show its window before that.
void Startup::windowIsPaintedBeforeTheFirstPage()
{
    QTemporaryDir folder;
    const QString listPath = writePlaylist(folder, "http://a/\r\n");

    FakePlatform fakes;
    form2 form(fakes.platform(QStringLiteral("/f=") + listPath + QStringLiteral(" /t=1")));
    struct PaintWatch final : QObject {
        bool painted = false;
        bool eventFilter(QObject*, QEvent* event) override
        {
            painted = painted || event->type() == QEvent::Paint;
            return false;
        }
    } watch;
    form.installEventFilter(&watch);
    bool paintedAtFirstPage = false;
    fakes.browser->onNavigate = [&](const QString&) {
        paintedAtFirstPage = watch.painted;
        form.stop_button_Click();
    };

    form.show();

    QTRY_COMPARE(fakes.browser->navigations.size(), 1);
    QVERIFY(paintedAtFirstPage);
}

void Startup::activations_data()
{
    QTest::addColumn<QString>("cameFrom");
    QTest::addColumn<int>("runsAfterReturn");

    QTest::newRow("the About box starts a new run") << QStringLiteral("about") << 2;
    QTest::newRow("a message box does not") << QStringLiteral("message") << 1;
}

void Startup::activations()
{
    QFETCH(QString, cameFrom);
    QTemporaryDir folder;
    const QString listPath = writePlaylist(folder, "http://first/\r\nhttp://second/\r\n");

    FakePlatform fakes;
    form2 form(fakes.platform(QStringLiteral("/f=") + listPath + QStringLiteral(" /t=1")));
    // Each run is stopped as soon as its first page is asked for.
    fakes.browser->onNavigate = [&](const QString&) { form.stop_button_Click(); };
    form.show();
    QTRY_COMPARE(fakes.browser->navigations.size(), 1);
    form.activateWindow();
    QTRY_COMPARE(QGuiApplication::focusWindow(), form.windowHandle());

    QMessageBox message(QMessageBox::NoIcon, QStringLiteral("Veltrase"), QStringLiteral("text"));
    if (cameFrom == QLatin1String("about")) {
        form.About_Click();
        form.aboutBox()->activateWindow();
        QTRY_COMPARE(QGuiApplication::focusWindow(), form.aboutBox()->windowHandle());
    } else {
        message.show();
        message.activateWindow();
        QTRY_COMPARE(QGuiApplication::focusWindow(), message.windowHandle());
        message.hide();
    }
    form.activateWindow();
    QTRY_COMPARE(QGuiApplication::focusWindow(), form.windowHandle());
    QCoreApplication::processEvents();

    QTEST(int(fakes.browser->navigations.size()), "runsAfterReturn");
    // A new run begins at the first entry.
    QVERIFY(fakes.browser->navigations.last().startsWith(QLatin1String("http://first/")));
}

QTEST_MAIN(Startup)
#include "tst_startup.moc"
