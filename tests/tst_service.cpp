#include "support/page_server.h"

#include <QtTest>

#include <csignal>
#include <sys/socket.h>
#include <sys/un.h>

// The real program as a user's service: what it tells the service manager, watchdog
// pings that come from the window's thread, and what its log says of a followed playlist
// and of a page that cannot be shown.
class Service : public QObject {
    Q_OBJECT

    PageServer server_;
    QTemporaryDir folder_;
    int socket_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    // What the program told the manager, and when; value() is the latest of a word.
    QMultiHash<QByteArray, qint64> words_;
    QByteArray refused_;

private slots:
    void initTestCase()
    {
        QVERIFY(server_.listen());
        server_.addPage(QStringLiteral("/a.html"), "<title>a</title><p>a<script>console.error('said by a')</script>");
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        refused_ = "http://127.0.0.1:" + QByteArray::number(closed.serverPort()) + "/";
        server_.addPage(QStringLiteral("/list.txt"),
                        server_.url(QStringLiteral("/a.html")).toUtf8() + "\r\n" + refused_);
        // The manager's end of the notify socket, and a watchdog of one second.
        sockaddr_un address = {AF_UNIX, {}};
        qstrncpy(address.sun_path, QFile::encodeName(folder_.filePath("notify")).constData(), sizeof address.sun_path);
        qputenv("NOTIFY_SOCKET", address.sun_path);
        qputenv("WATCHDOG_USEC", "1000000");
        QVERIFY(::bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0);
        connect(new QSocketNotifier(socket_, QSocketNotifier::Read, this), &QSocketNotifier::activated, this, [this] {
            char word[4096];
            for (ssize_t length; (length = ::recv(socket_, word, sizeof word, 0)) > 0;)
                words_.insert(QByteArray(word, length), QDateTime::currentMSecsSinceEpoch());
        });
    }

    // Each run is started as the service manager starts it, through a parent that can
    // hold its window's thread on request.
    void tellsTheManagerWhatItDoesAndPingsFromTheWindowsThread()
    {
        const QByteArray showing = "STATUS=showing 1 of 2: " + server_.url("/a.html").toUtf8();
        const QStringList program{VELTRASE_HOLD_HELPER, VELTRASE_BINARY, "--cache", "/f=" + server_.url("/list.txt")};
        // A run that ends by itself: ready, the pages, the card in place of the second,
        // two pings a second through the last seconds of the dwell, and stopping. Its log
        // holds nothing of the engine's.
        QProcess run;
        run.start("python3", program + QStringList{"/t=5", "--once", "--exit"});
        QTRY_VERIFY_WITH_TIMEOUT(run.state() == QProcess::NotRunning, 90000);
        QVERIFY(words_.contains("STATUS=showing 2 of 2: " + refused_
                                + " (cannot be shown: The server refused the connection.)"));
        const QByteArray log = run.readAllStandardError();
        QVERIFY2(!log.contains("js:") && !log.contains(":ERROR:"), log.constData());
        const qint64 ready = words_.value("READY=1", -1), stopping = words_.value("STOPPING=1", -1);
        QVERIFY(ready >= 0 && words_.value(showing, -1) >= ready && stopping > words_.value(showing) + 4000);
        QVERIFY(std::ranges::count_if(words_.values("WATCHDOG=1"), [&](qint64 ping) { return ping > stopping - 3000; })
                >= 5);

        // A wall screen's run: a followed list that cannot be fetched is told once, however
        // many passes meet it; with the window's thread held the pings stop, and SIGTERM
        // still ends the program, which says so.
        words_.clear();
        run.start("python3", program + QStringList{"/t=1", "--follow"});
        QTRY_VERIFY_WITH_TIMEOUT(words_.contains(showing), 60000);
        server_.addRawAnswer("/list.txt",
                             "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        // Each pass asks for the list, is refused, and shows the list it had.
        QTRY_VERIFY_WITH_TIMEOUT(words_.count(showing) >= 4, 30000);
        // A process id of 0 would signal this test's whole process group.
        QVERIFY(run.processId() > 0 && ::kill(pid_t(run.processId()), SIGUSR1) == 0);
        QTRY_VERIFY(run.canReadLine());
        QTest::qWait(3000);
        run.terminate();
        QTRY_VERIFY_WITH_TIMEOUT(run.state() == QProcess::NotRunning, 10000);
        QCOMPARE(run.readAllStandardError().count("could not be read again: the server answered 500"), 1);
        if (const QByteArray said = run.readLine(); said != "held\n")
            QSKIP(said.constData());
        // No ping while held: the last came some three seconds before the farewell. Held,
        // the window's thread cannot end the program: the signal's own way out does.
        QVERIFY(words_.value("STOPPING=1", 0) - words_.value("WATCHDOG=1") > 2500 && run.exitCode() == 0);
    }
};

QTEST_GUILESS_MAIN(Service)
#include "tst_service.moc"
