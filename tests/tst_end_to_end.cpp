#include "support/page_server.h"

#include <QProcess>
#include <QTcpSocket>
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

    // Steering over HTTP, from a client of this machine: every route, what is refused, and
    // a page in the rotation that tries to stop it. A flood of requests leaves the dwell
    // on time.
    void steeringOverHttp()
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        server_.addPage("/steal.html", QString("<title>steal</title><script>fetch('http://127.0.0.1:%1/stop',"
                                               "{method:'POST',mode:'no-cors'})</script>")
                                           .arg(port)
                                           .toUtf8());
        server_.addPage("/now.html", "<title>now</title>");
        QFile list(folder_.filePath(QStringLiteral("steer.txt")));
        QVERIFY(list.open(QIODevice::WriteOnly));
        for (const QString page : {"/a.html", "/steal.html", "/b.html"})
            list.write(server_.url(page).toUtf8() + "\n");
        list.close();
        QProcess program;
        program.start(VELTRASE_BINARY, {"/f=" + list.fileName(), "/t=2", "--private", "--control=" + QString::number(port)});
        // One request on a connection of its own: the status and the body.
        const auto ask = [port](const QByteArray& head, const QByteArray& body = {}) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, port);
            socket.write(head + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
            QByteArray reply;
            while (socket.waitForReadyRead(5000))
                reply += socket.readAll();
            return std::pair(reply.mid(9, 3).toInt(), reply.mid(reply.indexOf("\r\n\r\n") + 4));
        };
        const QByteArray host = "\r\nHost: 127.0.0.1:" + QByteArray::number(port);
        QTRY_VERIFY_WITH_TIMEOUT(ask("GET /status HTTP/1.1" + host).second.contains("\"state\":\"running\""), 30000);
        // The page that tried to stop the run has come and gone.
        QTRY_VERIFY_WITH_TIMEOUT(server_.paths().filter("/b.html").size() >= 1, 20000);
        QVERIFY(ask("GET /status HTTP/1.1" + host).second.contains("\"state\":\"running\""));

        const std::tuple<QByteArray, QByteArray, int, QByteArray> steps[] = {
            {"POST /next HTTP/1.1" + host, {}, 200, "\"state\":\"running\""},
            {"GET /next HTTP/1.1" + host, {}, 404, "error"},
            {"POST /pause HTTP/1.1" + host, {}, 200, "\"state\":\"paused\""},
            {"POST /resume HTTP/1.1" + host, {}, 200, "\"state\":\"running\""},
            {"POST /show HTTP/1.1" + host, "{\"url\":\"" + server_.url("/now.html").toUtf8() + "\",\"seconds\":60}", 200, "running"},
            {"POST /show HTTP/1.1" + host, "{\"url\":\"file:///etc/passwd\"}", 400, "error"},
            {"GET /playlist HTTP/1.1" + host, {}, 200, "/steal.html"},
            {"GET /screenshot.png HTTP/1.1" + host, {}, 200, "\x89PNG"},
            {"GET /status HTTP/1.1\r\nHost: rebound.example:" + QByteArray::number(port), {}, 403, "Host"},
            {"POST /stop HTTP/1.1\r\nOrigin: http://127.0.0.1" + host, {}, 403, "web pages"},
            {"POST /stop HTTP/1.1" + host, QByteArray(70000, 'x'), 413, "64 KiB"},
            {"POST /stop HTTP/1.1" + host, {}, 200, "stopping"},
            {"POST /next HTTP/1.1" + host, {}, 409, "not running"},
            {"POST /start HTTP/1.1" + host, {}, 200, "starting"}};
        for (const auto& [head, body, status, says] : steps) {
            const auto [answered, reply] = ask(head, body);
            QVERIFY2(answered == status && reply.contains(says), (head + " -> " + reply.left(200)).constData());
            // What comes next must not stop the address shown now before it is asked for.
            QTRY_VERIFY(!head.startsWith("POST /show") || status != 200 || server_.paths().contains("/now.html"));
        }

        // A thousand questions in a row from the first page of the new run on, and the
        // next pages keep their two seconds.
        QTRY_VERIFY_WITH_TIMEOUT(server_.paths().last().startsWith("/a.html"), 10000);
        const qsizetype before = server_.times().size() - 1;
        for (int i = 0; i < 1000; ++i)
            QCOMPARE(ask("GET /status HTTP/1.1" + host).first, 200);
        QTRY_VERIFY_WITH_TIMEOUT(server_.times().size() >= before + 3, 20000);
        const QList<qint64> times = server_.times().mid(before);
        for (qsizetype i = 1; i < times.size(); ++i)
            QVERIFY2(qAbs(times[i] - times[i - 1] - 2000) <= 50, qPrintable(QString::number(times[i] - times[i - 1])));
        program.terminate();
        QVERIFY(program.waitForFinished(5000));

        // With a token, only a request that carries it is answered.
        QFile token(folder_.filePath(QStringLiteral("token")));
        QVERIFY(token.open(QIODevice::WriteOnly) && token.write("s3cret\n") && token.flush());
        program.start(VELTRASE_BINARY, {"--control=127.0.0.1:" + QString::number(port), "--control-token-file=" + token.fileName()});
        QTRY_COMPARE_WITH_TIMEOUT(ask("GET /status HTTP/1.1" + host).first, 401, 20000);
        QCOMPARE(ask("GET /status HTTP/1.1\r\nAuthorization: Bearer s3cre" + host).first, 401);
        QCOMPARE(ask("GET /status HTTP/1.1\r\nAuthorization: Bearer s3cret" + host).first, 200);
        program.terminate();
        QVERIFY(program.waitForFinished(5000));
    }
};

QTEST_GUILESS_MAIN(EndToEnd)
#include "tst_end_to_end.moc"
