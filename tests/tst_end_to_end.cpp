#include "support/page_server.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// The real program, started as a kiosk would start it, on a virtual screen under a
// window manager, against a loopback server.
class EndToEnd : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void unattendedRunLoopsInOrderAndEndsAtOnce_data();
    void unattendedRunLoopsInOrderAndEndsAtOnce();
    void informationArgumentsAnswerWithoutAWindow();

private:
    PageServer server_;
    // A folder with a blank in its name: the path runs to the next " /".
    QTemporaryDir folder_{QDir::tempPath() + QStringLiteral("/my lists XXXXXX")};
    QProcess screen_, windowManager_;
    QProcessEnvironment environment_ = QProcessEnvironment::systemEnvironment();
};

void EndToEnd::initTestCase()
{
    QFile list(folder_.filePath(QStringLiteral("pages.txt")));
    QVERIFY(server_.listen() && list.open(QIODevice::WriteOnly));
    for (const char* name : {"a", "b", "c"}) {
        server_.addPage(QStringLiteral("/%1.html").arg(name), QByteArray("<title>") + name + "</title>" + name);
        list.write(server_.url(QStringLiteral("/%1.html").arg(name)).toUtf8() + "\r\n");
    }
    // A private screen, and a window manager whose close the user may ask for.
    screen_.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    QTRY_VERIFY_WITH_TIMEOUT(screen_.canReadLine(), 10000);
    environment_.insert(QStringLiteral("DISPLAY"), u':' + QString::fromLatin1(screen_.readLine().trimmed()));
    environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // The kept browser profile goes here, not into the user's own.
    environment_.insert(QStringLiteral("XDG_DATA_HOME"), folder_.path());
    windowManager_.setProcessEnvironment(environment_);
    windowManager_.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    QVERIFY(windowManager_.waitForStarted());
}

void EndToEnd::cleanupTestCase()
{
    for (QProcess* process : {&windowManager_, &screen_}) {
        process->terminate();
        process->waitForFinished(5000);
    }
}

void EndToEnd::unattendedRunLoopsInOrderAndEndsAtOnce_data()
{
    QTest::addColumn<int>("signal"); // 0: the window manager's close
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("window closed") << 0;
}

void EndToEnd::unattendedRunLoopsInOrderAndEndsAtOnce()
{
    QFETCH(int, signal);
    const qsizetype before = server_.requests().size();
    QProcess program;
    program.setProcessEnvironment(environment_);
    program.start(VELTRASE_BINARY, {"/f=" + folder_.filePath(QStringLiteral("pages.txt")), "/t=2"});
    const auto endProgram = qScopeGuard([&program] {
        program.kill();
        program.waitForFinished(5000);
    });

    // One pass of three, then Loop (ticked by default) begins the next pass; the run is
    // in the dwell of its fourth page when it is ended.
    QTRY_VERIFY_WITH_TIMEOUT(server_.requests().size() - before >= 4, 30000);
    QString order;
    for (const QString& path : server_.paths().mid(before, 4))
        order += QRegularExpression(QStringLiteral(R"(^/([abc])\.html\?\d{9,14}$)")).match(path).captured(1);
    QCOMPARE(order, QStringLiteral("abca"));

    if (signal) {
        ::kill(pid_t(program.processId()), signal);
    } else {
        // Alt+F4 asks the window manager to close the active window. The window may be
        // gone before xdotool is done with it, so its exit status tells nothing.
        QProcess xdotool;
        xdotool.setProcessEnvironment(environment_);
        xdotool.start("xdotool",
                      {"search", "--sync", "--all", "--onlyvisible", "--pid", QString::number(program.processId()),
                       "--name", "Veltrase", "windowactivate", "--sync", "key", "alt+F4"});
        QVERIFY(xdotool.waitForFinished(10000));
    }
    QElapsedTimer sinceEnd;
    sinceEnd.start();
    QVERIFY(program.waitForFinished(5000));
    QVERIFY2(sinceEnd.elapsed() < 1000, qPrintable(QString::number(sinceEnd.elapsed())));
    QVERIFY(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0);
    QCOMPARE(server_.requests().size() - before, 4);
}

void EndToEnd::informationArgumentsAnswerWithoutAWindow()
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    program.setProcessEnvironment(environment);
    // The arguments, the exit status and what is said: on standard error for status 2.
    const std::tuple<QStringList, int, QList<QByteArray>> answers[]
        = {{{"--version"}, 0, {"Veltrase 3.1.1\n"}},
           {{"--help"},
            0,
            {"/f=PLAYLIST", "/t=", "/r=Y", "--once", "--exit", "--cache", "--full-screen", "--keep-screen-on",
             "--zoom=", "--private", "--follow", "Exit status", "XDG_DATA_HOME"}},
           {{"/t=5", "--frobnicate"}, 2, {"'--frobnicate'", "--help"}}};
    for (const auto& [arguments, status, saying] : answers) {
        program.start(VELTRASE_BINARY, arguments);
        QVERIFY(program.waitForFinished(5000));
        QCOMPARE(program.exitCode(), status);
        program.setReadChannel(status ? QProcess::StandardError : QProcess::StandardOutput);
        const QByteArray said = program.readAll();
        for (const QByteArray& part : saying)
            QVERIFY2(said.contains(part), said.constData());
    }
}

QTEST_GUILESS_MAIN(EndToEnd)
#include "tst_end_to_end.moc"
