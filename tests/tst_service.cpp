#include "support/page_server.h"

#include <QtTest>

#include <csignal>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// The real program as a user's service: what it tells the service manager, watchdog
// pings that come from the window's thread, and what its log says of a followed playlist.
class Service : public QObject {
    Q_OBJECT

    PageServer server_;
    QTemporaryDir folder_;
    int socket_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    QElapsedTimer clock_;
    QList<std::pair<qint64, QByteArray>> words_;

    // Started as the service manager starts it, with a watchdog of one second, through
    // a parent that can hold its window's thread on request.
    void start(QProcess& program, const QString& playlist, const QStringList& options)
    {
        words_.clear();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("NOTIFY_SOCKET"), folder_.filePath(QStringLiteral("notify")));
        environment.insert(QStringLiteral("WATCHDOG_USEC"), QStringLiteral("1000000"));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral("python3"),
                      QStringList{QStringLiteral(VELTRASE_HOLD_HELPER), QStringLiteral(VELTRASE_BINARY),
                                  QStringLiteral("/f=") + server_.url(playlist)}
                          + options);
        QVERIFY(program.waitForStarted());
    }
    // When each word the program said to the manager that starts so came, in order.
    QList<qint64> times(const QByteArray& start) const
    {
        QList<qint64> result;
        for (const auto& [ms, word] : words_)
            if (word.startsWith(start))
                result << ms;
        return result;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server_.listen());
        server_.addPage(QStringLiteral("/a.html"), "<title>a</title><p>a");
        server_.addPage(QStringLiteral("/list.txt"), server_.url(QStringLiteral("/a.html")).toUtf8() + "\r\n");
        // The manager's end of the notify socket.
        sockaddr_un address = {AF_UNIX, {}};
        qstrncpy(address.sun_path, QFile::encodeName(folder_.filePath(QStringLiteral("notify"))).constData(),
                 sizeof address.sun_path);
        QVERIFY(::bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0);
        clock_.start();
        connect(new QSocketNotifier(socket_, QSocketNotifier::Read, this), &QSocketNotifier::activated, this, [this] {
            char word[4096];
            for (ssize_t length; (length = ::recv(socket_, word, sizeof word, 0)) > 0;)
                words_.append({clock_.elapsed(), QByteArray(word, length)});
        });
    }

    void tellsTheManagerItsStateAndPingsThroughADwell()
    {
        QProcess program;
        start(program, QStringLiteral("/list.txt"),
              {QStringLiteral("/t=5"), QStringLiteral("--once"), QStringLiteral("--exit")});
        QTRY_VERIFY_WITH_TIMEOUT(program.state() == QProcess::NotRunning, 90000);
        const qint64 ready = times("READY=1").value(0, -1);
        const qint64 showing
            = times("STATUS=showing 1 of 1: " + server_.url(QStringLiteral("/a.html")).toUtf8()).value(0, -1);
        const qint64 stopping = times("STOPPING=1").value(0, -1);
        QVERIFY(ready >= 0 && showing >= ready && stopping > showing + 4000);
        // The last seconds of the dwell: two pings a second, never a second without one.
        qint64 previous = stopping - 3000, longestGap = 0, pings = 0;
        for (qint64 ping : times("WATCHDOG=1") << stopping)
            if (ping > previous)
                longestGap = std::max(longestGap, ping - std::exchange(previous, ping)), ++pings;
        QVERIFY2(pings >= 5 && longestGap < 1000,
                 qPrintable(QStringLiteral("%1 pings, gap %2 ms").arg(pings).arg(longestGap)));
    }

    // A wall screen's log: a failing fetch is told once, however many passes meet it.
    void aHeldWindowThreadStopsThePingsAndAFailingFetchIsToldOnce()
    {
        const QString list = QStringLiteral("/lobby.txt"), page = QStringLiteral("/a.html");
        server_.addPage(list, server_.url(page).toUtf8() + "\r\n");
        QProcess program;
        start(program, list, {QStringLiteral("/t=1"), QStringLiteral("--follow"), QStringLiteral("--cache")});
        QTRY_VERIFY_WITH_TIMEOUT(server_.paths().contains(list) && times("WATCHDOG=1").size() >= 2, 60000);
        server_.addRawAnswer(list,
                             "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        // Each pass asks for the list, is refused, and shows the list it had.
        const qsizetype shownBefore = server_.paths().count(page);
        QTRY_VERIFY_WITH_TIMEOUT(server_.paths().count(page) >= shownBefore + 3, 30000);

        ::kill(static_cast<pid_t>(program.processId()), SIGUSR1);
        QByteArray said;
        QTRY_VERIFY((said += program.readAllStandardOutput()).contains("held") || said.contains("cannot hold"));
        const bool held = said.contains("held");
        if (held) {
            QTest::qWait(200);
            const qsizetype pingsWhenHeld = times("WATCHDOG=1").size();
            QTest::qWait(3000);
            QCOMPARE(times("WATCHDOG=1").size(), pingsWhenHeld);
        }
        // SIGTERM still ends it, and says so, with its window's thread held.
        program.terminate();
        QTRY_VERIFY_WITH_TIMEOUT(program.state() == QProcess::NotRunning, 10000);
        QVERIFY(!times("STOPPING=1").isEmpty());
        QCOMPARE(program.readAllStandardError().count(
                     "could not be read again: the server answered 500 Internal Server Error"),
                 1);
        if (!held)
            QSKIP(said.constData());
    }
};

QTEST_GUILESS_MAIN(Service)
#include "tst_service.moc"
