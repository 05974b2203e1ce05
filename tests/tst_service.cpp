#include "support/page_server.h"

#include <QFile>
#include <QProcess>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// The real program as a user's service: what it tells the service manager, watchdog
// pings that come from the window's thread, and what its log says of a followed playlist.
class Service : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void tellsTheManagerItsStateAndPingsThroughADwell();
    void aHeldWindowThreadStopsThePings();
    void followedAddressTellsAFailingFetchOnce();

private:
    void start(QProcess& program, const QStringList& arguments);

    PageServer server_;
    QTemporaryDir folder_;
    QString listPath_;
};

namespace {

// The service manager's end of the notify socket: every word with the time it came.
class NotifySocket final : public QObject {
public:
    explicit NotifySocket(const QString& path)
    {
        sockaddr_un address = {AF_UNIX, {}};
        qstrncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path);
        QFile::remove(path);
        if (::bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            qFatal("cannot bind the notify socket");
        clock_.start();
        connect(new QSocketNotifier(socket_, QSocketNotifier::Read, this), &QSocketNotifier::activated, this, [this] {
            char word[4096];
            for (ssize_t length; (length = ::recv(socket_, word, sizeof word, 0)) > 0;)
                words_.append({clock_.elapsed(), QByteArray(word, length)});
        });
    }
    ~NotifySocket() override { ::close(socket_); }

    // When each word that starts so came, in order.
    QList<qint64> times(const QByteArray& start) const
    {
        QList<qint64> result;
        for (const auto& [ms, word] : words_)
            if (word.startsWith(start))
                result << ms;
        return result;
    }
    qint64 first(const QByteArray& start) const { return times(start).value(0, -1); }

private:
    int socket_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    QElapsedTimer clock_;
    QList<std::pair<qint64, QByteArray>> words_;
};

} // namespace

void Service::initTestCase()
{
    for (const char* name : {"/a.html", "/b.html"})
        server_.addPage(QString::fromLatin1(name), QByteArray("<title>") + name + "</title><p>" + name);
    QVERIFY(server_.listen());
    QVERIFY(folder_.isValid());
    listPath_ = folder_.filePath(QStringLiteral("list.txt"));
    QFile list(listPath_);
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write(server_.url(QStringLiteral("/a.html")).toUtf8() + "\r\n");
}

// Started as the service manager starts it, with a watchdog of one second, through
// a parent that can hold its window's thread on request.
void Service::start(QProcess& program, const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("NOTIFY_SOCKET"), folder_.filePath(QStringLiteral("notify")));
    environment.insert(QStringLiteral("WATCHDOG_USEC"), QStringLiteral("1000000"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral("python3"),
                  QStringList{QStringLiteral(VELTRASE_HOLD_HELPER), QStringLiteral(VELTRASE_BINARY)} + arguments);
    QVERIFY(program.waitForStarted());
}

void Service::tellsTheManagerItsStateAndPingsThroughADwell()
{
    NotifySocket manager(folder_.filePath(QStringLiteral("notify")));
    QProcess program;
    start(program, {QStringLiteral("/f=") + listPath_, QStringLiteral("/t=5"), QStringLiteral("--once"),
                    QStringLiteral("--exit"), QStringLiteral("--cache")});
    QTRY_VERIFY_WITH_TIMEOUT(program.state() == QProcess::NotRunning, 90000);
    QCOMPARE(program.exitCode(), 0);

    const qint64 ready = manager.first("READY=1");
    const qint64 showing = manager.first("STATUS=showing 1 of 1: " + server_.url(QStringLiteral("/a.html")).toUtf8());
    const qint64 stopping = manager.first("STOPPING=1");
    QVERIFY(ready >= 0 && showing >= ready && stopping > showing + 4000);
    // The last seconds of the dwell: two pings a second, never a second without one.
    qint64 previous = stopping - 3000, longestGap = 0, pings = 0;
    const QList<qint64> pingsThenStop = manager.times("WATCHDOG=1") << stopping;
    for (qint64 ping : pingsThenStop) {
        if (ping <= previous)
            continue;
        longestGap = std::max(longestGap, ping - previous);
        previous = ping;
        ++pings;
    }
    QVERIFY2(pings >= 5 && longestGap < 1000, qPrintable(QStringLiteral("%1 pings, gap %2 ms").arg(pings).arg(longestGap)));
}

void Service::aHeldWindowThreadStopsThePings()
{
    NotifySocket manager(folder_.filePath(QStringLiteral("notify")));
    QProcess program;
    start(program, {QStringLiteral("/f=") + listPath_, QStringLiteral("/t=30")});
    QTRY_VERIFY_WITH_TIMEOUT(manager.first("STATUS=") >= 0 && manager.times("WATCHDOG=1").size() >= 2, 60000);

    ::kill(static_cast<pid_t>(program.processId()), SIGUSR1);
    QByteArray said;
    QTRY_VERIFY((said += program.readAllStandardOutput()).contains("held") || said.contains("cannot hold"));
    if (!said.contains("held"))
        QSKIP(said.constData());
    QTest::qWait(200);
    const qsizetype pingsWhenHeld = manager.times("WATCHDOG=1").size();
    QTest::qWait(3000);
    QCOMPARE(manager.times("WATCHDOG=1").size(), pingsWhenHeld);

    // SIGTERM still ends it, and says so, with its window's thread held.
    program.terminate();
    QTRY_VERIFY_WITH_TIMEOUT(program.state() == QProcess::NotRunning, 10000);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(manager.first("STOPPING=1") >= 0);
}

// A wall screen's log: a failing fetch is told once, however many passes meet it.
void Service::followedAddressTellsAFailingFetchOnce()
{
    const QString list = QStringLiteral("/screens/lobby.txt");
    const QString page = QStringLiteral("/a.html");
    server_.addPage(list, server_.url(page).toUtf8() + "\r\n");
    const qsizetype shownByOthers = server_.paths().count(page);
    QProcess program;
    program.start(QStringLiteral(VELTRASE_BINARY), {QStringLiteral("/f=") + server_.url(list), QStringLiteral("/t=1"),
                                                    QStringLiteral("--follow"), QStringLiteral("--cache")});
    QTRY_VERIFY_WITH_TIMEOUT(server_.paths().count(page) > shownByOthers, 60000);

    server_.addRawAnswer(list, "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    const qsizetype shownBefore = server_.paths().count(page);
    // Each pass asks for the list, is refused, and shows the list it had.
    QTRY_VERIFY_WITH_TIMEOUT(server_.paths().count(page) >= shownBefore + 3, 30000);
    program.terminate();
    QTRY_VERIFY_WITH_TIMEOUT(program.state() == QProcess::NotRunning, 10000);
    const QByteArray told = program.readAllStandardError();
    QCOMPARE(told.count("could not be read again: the server answered 500 Internal Server Error"), 1);
}

QTEST_GUILESS_MAIN(Service)
#include "tst_service.moc"
