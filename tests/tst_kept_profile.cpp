#include "support/page_server.h"

#include <QtTest>

// The real program started again and again over one user's data folder: a login
// survives the end of the program however it ends, one running program owns the
// kept profile, and a private run writes nothing and keeps nothing.
class ProfileAcrossRuns : public QObject {
    Q_OBJECT

    PageServer server_;

    // The program over a user's data folder, showing one page from a playlist the server
    // serves, until the server has seen it ask for the page so many times.
    bool start(QProcess& program, const QString& data, const QString& page, QStringList options, int shows = 1)
    {
        qputenv("XDG_DATA_HOME", data.toUtf8());
        qputenv("XDG_CACHE_HOME", data.toUtf8() + "/cache");
        server_.addPage(page, "<title>page</title>");
        server_.addPage(page + ".txt", server_.url(page).toUtf8());
        const qsizetype before = server_.paths().filter(page + '?').size();
        program.start(VELTRASE_BINARY, options << "/f=" + server_.url(page + ".txt") << "/t=1");
        return QTest::qWaitFor([&] { return server_.paths().filter(page + '?').size() >= before + shows; }, 30000);
    }

private slots:
    void initTestCase() { QVERIFY(server_.listen()); }

    void loginIsKeptOnlyInTheOwnedProfile()
    {
        // Meant to end with the browser, as many dashboards' logins are.
        server_.addRawAnswer("/login", "HTTP/1.1 200 OK\r\nSet-Cookie: login=yes; Path=/\r\nContent-Length: 0\r\n\r\n");
        // Options empty: looping, ended by SIGTERM once the login page has come again.
        const std::tuple<const char*, QStringList, bool, bool> rows[] = {
            {"run ends with Exit", {"--once", "--exit"}, true, false},
            {"SIGTERM", {}, true, false},
            {"--private", {"--once", "--exit", "--private"}, false, false},
            {"second instance", {"--once", "--exit"}, false, true},
        };
        for (const auto& [name, options, kept, secondInstance] : rows) {
            QTemporaryDir data;
            QProcess holder, first, later;
            QVERIFY(!secondInstance || start(holder, data.path(), "/other", {}));
            QVERIFY(start(first, data.path(), "/login", options, options.isEmpty() ? 2 : 1));
            if (options.isEmpty())
                first.terminate(); // SIGTERM
            // Waited for with the server answering: the run needs its pages.
            QTRY_VERIFY_WITH_TIMEOUT(first.state() == QProcess::NotRunning && first.exitCode() == 0, 30000);
            QVERIFY(!secondInstance || first.readAllStandardError().contains("another Veltrase is using"));
            QVERIFY(!options.contains("--private") || QDir(data.path()).isEmpty());
            // Logins live in the kept profile: no other user may look in.
            QVERIFY((QFileInfo(data.path() + "/veltrase/profile").permissions() & 0x0077) == 0);
            holder.close();

            // A later run in the user's own profile is still logged in, or never was.
            QVERIFY(start(later, data.path(), "/dashboard", {"--once", "--exit"}));
            QTRY_VERIFY_WITH_TIMEOUT(later.state() == QProcess::NotRunning, 30000);
            QVERIFY2(server_.requests().last().cookie.contains("login=yes") == kept, name);
        }
    }

    // A full disk: the program runs on, privately, and says why in the system's words.
    void fullDiskIsNamed()
    {
        QTemporaryDir data;
        if (QProcess::execute("unshare", {"-m", "mount", "-t", "tmpfs", "tmpfs", data.path()}) != 0)
            QSKIP("no private mount here");
        server_.addPage("/full", "<title>full</title>");
        server_.addPage("/full.txt", server_.url("/full").toUtf8());
        QProcess program;
        program.start("unshare",
                      {"-m", "sh", "-c",
                       "mount -t tmpfs -o size=64k tmpfs \"$0\" && { cat /dev/zero >\"$0/fill\"; "
                       "XDG_DATA_HOME=\"$0\" exec \"$@\"; } 2>&1",
                       data.path(), VELTRASE_BINARY, "/f=" + server_.url("/full.txt"), "/t=1", "--once", "--exit"});
        QTRY_VERIFY_WITH_TIMEOUT(program.state() == QProcess::NotRunning && program.exitCode() == 0, 30000);
        QVERIFY(program.readAll().contains("browser profile folder " + data.path().toUtf8()
                                           + "/veltrase/profile: no space left on device"));
    }
};

QTEST_GUILESS_MAIN(ProfileAcrossRuns)
#include "tst_kept_profile.moc"
