#include "support/page_server.h"
#include "support/process_tree.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// The real program started again and again over one user's data folder: a login
// survives the end of the program however it ends, one running program owns the
// kept profile, and a private run or an unusable folder writes nothing and keeps nothing.
class ProfileAcrossRuns : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void loginIsKeptOnlyInTheOwnedProfile();

private:
    // The program over a user's data folder, showing one page of the server.
    void start(QProcess& program, const QString& dataFolder, const QString& page, const QStringList& options);

    PageServer server_;
    QTemporaryDir lists_;
};

void ProfileAcrossRuns::initTestCase()
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
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write(server_.url(page).toUtf8() + "\r\n");
    }
}

void ProfileAcrossRuns::start(QProcess& program, const QString& dataFolder, const QString& page,
                              const QStringList& options)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataFolder);
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), dataFolder + QStringLiteral("/cache"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VELTRASE_BINARY),
                  options + QStringList{QStringLiteral("/f=") + lists_.path() + page, QStringLiteral("/t=1")});
    QVERIFY(program.waitForStarted());
}

void ProfileAcrossRuns::loginIsKeptOnlyInTheOwnedProfile()
{
    enum class Obstacle { None, FileWhereTheFolderGoes, HeldByAnotherInstance };
    const QStringList onePass{QStringLiteral("--once"), QStringLiteral("--exit")};
    const struct {
        const char* name;
        QStringList options; // without --once: ended by SIGTERM
        Obstacle obstacle;
        bool kept;
        QByteArray saying;
    } rows[] = {
        {"run ends with Exit", onePass, Obstacle::None, true, {}},
        {"SIGTERM", {}, Obstacle::None, true, {}},
        {"--private", onePass + QStringList{QStringLiteral("--private")}, Obstacle::None, false, {}},
        {"second instance", onePass, Obstacle::HeldByAnotherInstance, false,
         "another Veltrase is using the browser profile"},
        {"unusable folder", onePass, Obstacle::FileWhereTheFolderGoes, false, "cannot make the browser profile folder"},
    };
    for (const auto& row : rows) {
        QTemporaryDir data;
        QProcess holder;
        if (row.obstacle == Obstacle::FileWhereTheFolderGoes) {
            QVERIFY(QDir().mkpath(data.filePath(QStringLiteral("veltrase"))));
            QFile inTheWay(data.filePath(QStringLiteral("veltrase/profile")));
            QVERIFY(inTheWay.open(QIODevice::WriteOnly));
        } else if (row.obstacle == Obstacle::HeldByAnotherInstance) {
            const int before = server_.requests().size();
            start(holder, data.path(), QStringLiteral("/other"), {});
            QTRY_VERIFY_WITH_TIMEOUT(server_.requests().size() > before, 30000);
        }

        // The login comes a second before the end.
        QProcess first;
        const int before = server_.requests().size();
        start(first, data.path(), QStringLiteral("/login"), row.options);
        if (!row.options.contains(QStringLiteral("--once"))) {
            QTRY_VERIFY_WITH_TIMEOUT(server_.requests().size() > before, 30000);
            QTRY_VERIFY(server_.elapsedMs() >= server_.requests().at(before).receivedMs + 1000);
            const QList<qint64> helpers = descendantProcesses(first.processId());
            QElapsedTimer ending;
            ending.start();
            ::kill(static_cast<pid_t>(first.processId()), SIGTERM);
            QTRY_VERIFY_WITH_TIMEOUT(first.state() == QProcess::NotRunning, 5000);
            QVERIFY2(ending.elapsed() < 1000, qPrintable(QString::number(ending.elapsed())));
            for (qint64 helper : helpers)
                QTRY_VERIFY2_WITH_TIMEOUT(!processIsAlive(helper), qPrintable(QString::number(helper)), 2000);
        }
        // Waited for with the server answering: the run needs its pages.
        QTRY_VERIFY_WITH_TIMEOUT(first.state() == QProcess::NotRunning, 30000);
        QCOMPARE(first.exitCode(), 0);
        const QByteArray said = first.readAllStandardError();
        QVERIFY2(row.saying.isEmpty() ? !said.contains("private browser profile") : said.contains(row.saying),
                 qPrintable(QString::fromUtf8(said)));
        if (row.options.contains(QStringLiteral("--private")))
            QVERIFY2(QDir(data.path()).isEmpty(), row.name);
        holder.kill();
        holder.waitForFinished();

        // A later run in the user's own profile is still logged in, or never was.
        QProcess later;
        const int beforeLater = server_.requests().size();
        start(later, data.path(), QStringLiteral("/dashboard"), onePass);
        QTRY_VERIFY_WITH_TIMEOUT(later.state() == QProcess::NotRunning, 30000);
        QCOMPARE(server_.requests().size(), beforeLater + 1);
        QVERIFY2(server_.requests().last().cookie.contains(QStringLiteral("login=yes")) == row.kept, row.name);
    }
}

QTEST_GUILESS_MAIN(ProfileAcrossRuns)
#include "tst_kept_profile.moc"
