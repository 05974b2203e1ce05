#include "support/page_server.h"

#include <QtTest>

#include <csignal>

// The real program started again and again over one user's data folder: a login
// survives the end of the program however it ends, one running program owns the
// kept profile, and a private run writes nothing and keeps nothing.
class ProfileAcrossRuns : public QObject {
    Q_OBJECT

    PageServer server_;
    QTemporaryDir lists_;

    // The program over a user's data folder, showing one page of the server; waits
    // for its first request when asked to.
    void start(QProcess& program, const QString& data, const QString& page, QStringList options, bool waitFirst)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), data);
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), data + QStringLiteral("/cache"));
        program.setProcessEnvironment(environment);
        const qsizetype before = server_.requests().size();
        program.start(QStringLiteral(VELTRASE_BINARY),
                      options << QStringLiteral("/f=") + lists_.path() + page << QStringLiteral("/t=1"));
        QVERIFY(program.waitForStarted());
        if (waitFirst)
            QTRY_VERIFY_WITH_TIMEOUT(server_.requests().size() > before, 30000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server_.listen());
        server_.addRawAnswer(QStringLiteral("/login"),
                             "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                             // Meant to end with the browser, as many dashboards' logins are.
                             "Set-Cookie: login=yes; Path=/\r\nContent-Length: 17\r\nConnection: close\r\n\r\n"
                             "<title>in</title>");
        for (const QString& page : {QStringLiteral("/login"), QStringLiteral("/dashboard"), QStringLiteral("/other")}) {
            server_.addPage(page, "<title>page</title>");
            QFile list(lists_.path() + page);
            QVERIFY(list.open(QIODevice::WriteOnly) && list.write(server_.url(page).toUtf8() + "\r\n") > 0);
        }
    }

    void loginIsKeptOnlyInTheOwnedProfile()
    {
        const QStringList onePass{QStringLiteral("--once"), QStringLiteral("--exit")};
        const struct {
            const char* name;
            QStringList options; // empty: ended by SIGTERM a second after the login
            bool kept;
            QByteArray saying; // not empty: another program holds the profile already
        } rows[] = {
            {"run ends with Exit", onePass, true, {}},
            {"SIGTERM", {}, true, {}},
            {"--private", onePass + QStringList{QStringLiteral("--private")}, false, {}},
            {"second instance", onePass, false, "another Veltrase is using the browser profile"},
        };
        for (const auto& row : rows) {
            QTemporaryDir data;
            QProcess holder, first, later;
            if (!row.saying.isEmpty())
                start(holder, data.path(), QStringLiteral("/other"), {}, true);

            start(first, data.path(), QStringLiteral("/login"), row.options, row.options.isEmpty());
            if (row.options.isEmpty()) {
                const qint64 loggedIn = server_.requests().last().receivedMs;
                QTRY_VERIFY(server_.elapsedMs() >= loggedIn + 1000);
                ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
            }
            // Waited for with the server answering: the run needs its pages.
            QTRY_VERIFY_WITH_TIMEOUT(first.state() == QProcess::NotRunning, 30000);
            QCOMPARE(first.exitCode(), 0);
            const QByteArray said = first.readAllStandardError();
            QVERIFY2(row.saying.isEmpty() ? !said.contains("private browser profile") : said.contains(row.saying),
                     said.constData());
            if (row.options.contains(QStringLiteral("--private")))
                QVERIFY2(QDir(data.path()).isEmpty(), row.name);
            holder.kill();
            holder.waitForFinished();

            // A later run in the user's own profile is still logged in, or never was.
            start(later, data.path(), QStringLiteral("/dashboard"), onePass, true);
            QTRY_VERIFY_WITH_TIMEOUT(later.state() == QProcess::NotRunning, 30000);
            QVERIFY2(server_.requests().last().cookie.contains(QStringLiteral("login=yes")) == row.kept, row.name);
        }
    }
};

QTEST_GUILESS_MAIN(ProfileAcrossRuns)
#include "tst_kept_profile.moc"
