#include "support/page_server.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// The real program, started as a kiosk would start it (on a virtual screen when one is
// at hand), against a loopback server.
class EndToEnd : public QObject {
    Q_OBJECT

    PageServer server_;
    // A folder with a blank in its name: the path runs to the next " /".
    QTemporaryDir folder_{QDir::tempPath() + QStringLiteral("/my lists XXXXXX")};

private slots:
    void initTestCase()
    {
        QFile list(folder_.filePath(QStringLiteral("pages.txt")));
        QVERIFY(server_.listen() && list.open(QIODevice::WriteOnly));
        for (const QString page : {"/a.html", "/b.html", "/c.html"}) {
            server_.addPage(page, "<title>" + page.toUtf8() + "</title>");
            list.write(server_.url(page).toUtf8() + "\r\n");
        }
        // The kept browser profile goes here, not into the user's own.
        qputenv("XDG_DATA_HOME", QFile::encodeName(folder_.path()));
    }

    void runsLoopInOrderAndEnd_data()
    {
        QTest::addColumn<int>("signal"); // 0: none, Exit is ticked
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("pages");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("said"); // on standard output, or standard error for status 2
        // One pass of three, then Loop (ticked by default) begins the next pass; the run is
        // in the dwell of its fourth page when it is ended. Exit ticked ends it after a pass.
        QTest::newRow("SIGTERM") << int(SIGTERM) << QStringList() << "abca" << 0 << QByteArray();
        QTest::newRow("SIGINT") << int(SIGINT) << QStringList() << "abca" << 0 << QByteArray();
        QTest::newRow("Exit ticked") << 0 << QStringList{"--exit"} << "abc" << 0 << QByteArray();
        // Asked for its version, or given a word it does not know, it answers and shows nothing.
        QTest::newRow("version") << 0 << QStringList{"--version"} << "" << 0 << QByteArray("Veltrase 3.1.1\n");
        QTest::newRow("unknown word") << 0 << QStringList{"--frobnicate"} << "" << 2 << QByteArray("'--frobnicate'");
    }

    void runsLoopInOrderAndEnd()
    {
        QFETCH(int, signal);
        QFETCH(QStringList, options);
        QFETCH(QString, pages);
        QFETCH(QByteArray, said);
        const qsizetype before = server_.paths().size();
        // Killed and waited for by its destructor should the test fail half-way.
        QProcess program;
        program.start(VELTRASE_BINARY,
                      QStringList{"/f=" + folder_.filePath(QStringLiteral("pages.txt")), "/t=2"} + options);
        QTRY_VERIFY_WITH_TIMEOUT(server_.paths().size() - before >= pages.size(), 30000);
        // A process id of 0 would signal this test's whole process group.
        if (signal)
            QVERIFY(program.processId() > 0 && ::kill(pid_t(program.processId()), signal) == 0);
        // A signal ends the program at once, not at the end of the dwell.
        QVERIFY(program.waitForFinished(signal ? 1000 : 10000));
        QTEST(program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1, "status");
        program.setReadChannel(program.exitCode() == 2 ? QProcess::StandardError : QProcess::StandardOutput);
        QVERIFY(program.readAll().contains(said));
        QString shown; // "/a.html?20240305..." gives "a"
        for (const QString& path : server_.paths().mid(before))
            shown += path.section(u'.', 0, 0).mid(1);
        QCOMPARE(shown, pages);
    }
};

QTEST_GUILESS_MAIN(EndToEnd)
#include "tst_end_to_end.moc"
