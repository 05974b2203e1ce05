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
    PageServer server_;
};

namespace {

struct Program {
    explicit Program(const QString& dataFolder)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dataFolder);
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), dataFolder + QStringLiteral("/cache"));
        process.setProcessEnvironment(environment);
    }
    ~Program()
    {
        process.kill();
        process.waitForFinished(5000);
    }
    bool start(const QString& address, const QStringList& options, const QString& listFolder)
    {
        const QString listPath = QStringLiteral("%1/list-%2.txt").arg(listFolder).arg(quintptr(this));
        QFile list(listPath);
        if (!list.open(QIODevice::WriteOnly) || list.write(address.toUtf8() + "\r\n") <= 0)
            return false;
        list.close();
        process.start(QStringLiteral(VELTRASE_BINARY),
                      options + QStringList{QStringLiteral("/f=") + listPath, QStringLiteral("/t=1")});
        return process.waitForStarted();
    }
    QProcess process;
};

} // namespace

void ProfileAcrossRuns::initTestCase()
{
    server_.addRawAnswer(QStringLiteral("/login.html"),
                         "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                         // Meant to end with the browser, as many dashboards' logins are.
                         "Set-Cookie: login=yes; Path=/\r\nContent-Length: 17\r\nConnection: close\r\n\r\n"
                         "<title>in</title>");
    server_.addPage(QStringLiteral("/dashboard.html"), "<title>dashboard</title>");
    server_.addPage(QStringLiteral("/other.html"), "<title>other</title>");
    QVERIFY(server_.listen());
}

void ProfileAcrossRuns::loginIsKeptOnlyInTheOwnedProfile()
{
    enum class End { AtRunEnd, Sigterm };
    enum class Obstacle { None, FileWhereTheFolderGoes, HeldByAnotherInstance };
    const struct {
        const char* name;
        QStringList options;
        End end;
        Obstacle obstacle;
        bool kept;
        QByteArray saying;
    } rows[] = {
        {"run ends with Exit", {}, End::AtRunEnd, Obstacle::None, true, {}},
        {"SIGTERM", {}, End::Sigterm, Obstacle::None, true, {}},
        {"--private", {QStringLiteral("--private")}, End::AtRunEnd, Obstacle::None, false, {}},
        {"second instance", {}, End::AtRunEnd, Obstacle::HeldByAnotherInstance, false,
         "another Veltrase is using the browser profile"},
        {"unusable folder", {}, End::AtRunEnd, Obstacle::FileWhereTheFolderGoes, false,
         "cannot make the browser profile folder"},
    };
    const QStringList endAfterOnePass{QStringLiteral("--once"), QStringLiteral("--exit")};

    for (const auto& row : rows) {
        QTemporaryDir data;
        QTemporaryDir lists;
        const QString profileFolder = data.filePath(QStringLiteral("veltrase/profile"));
        std::unique_ptr<Program> holder;
        if (row.obstacle == Obstacle::FileWhereTheFolderGoes) {
            QVERIFY(QDir().mkpath(data.filePath(QStringLiteral("veltrase"))));
            QFile inTheWay(profileFolder);
            QVERIFY(inTheWay.open(QIODevice::WriteOnly));
        } else if (row.obstacle == Obstacle::HeldByAnotherInstance) {
            holder = std::make_unique<Program>(data.path());
            const int before = server_.requests().size();
            QVERIFY(holder->start(server_.url(QStringLiteral("/other.html")), {}, lists.path()));
            QTRY_VERIFY_WITH_TIMEOUT(server_.requests().size() > before, 30000);
        }

        // The login comes a second before the end.
        Program first(data.path());
        const int before = server_.requests().size();
        QVERIFY(first.start(server_.url(QStringLiteral("/login.html")),
                            row.options + (row.end == End::AtRunEnd ? endAfterOnePass : QStringList()), lists.path()));
        if (row.end == End::Sigterm) {
            QTRY_VERIFY_WITH_TIMEOUT(server_.requests().size() > before, 30000);
            const qint64 loggedInAt = server_.requests().at(before).receivedMs;
            QTRY_VERIFY(server_.elapsedMs() >= loggedInAt + 1000);
            const QList<qint64> helpers = descendantProcesses(first.process.processId());
            QElapsedTimer ending;
            ending.start();
            ::kill(static_cast<pid_t>(first.process.processId()), SIGTERM);
            QTRY_VERIFY_WITH_TIMEOUT(first.process.state() == QProcess::NotRunning, 5000);
            QVERIFY2(ending.elapsed() < 1000, qPrintable(QString::number(ending.elapsed())));
            for (qint64 helper : helpers)
                QTRY_VERIFY2_WITH_TIMEOUT(!processIsAlive(helper), qPrintable(QString::number(helper)), 2000);
        }
        // Waited for with the server answering: the run needs its pages.
        QTRY_VERIFY_WITH_TIMEOUT(first.process.state() == QProcess::NotRunning, 30000);
        QCOMPARE(first.process.exitCode(), 0);
        const QByteArray said = first.process.readAllStandardError();
        QVERIFY2(row.saying.isEmpty() ? !said.contains("private browser profile") : said.contains(row.saying),
                 qPrintable(QString::fromUtf8(said)));
        if (row.options.contains(QStringLiteral("--private")))
            QVERIFY2(QDir(data.path()).isEmpty(), row.name);
        holder.reset();

        // A later run in the user's own profile is still logged in, or never was.
        Program later(data.path());
        const int beforeLater = server_.requests().size();
        QVERIFY(later.start(server_.url(QStringLiteral("/dashboard.html")), endAfterOnePass, lists.path()));
        QTRY_VERIFY_WITH_TIMEOUT(later.process.state() == QProcess::NotRunning, 30000);
        QCOMPARE(server_.requests().size(), beforeLater + 1);
        QVERIFY2(server_.requests().last().cookie.contains(QStringLiteral("login=yes")) == row.kept, row.name);
    }
}

QTEST_GUILESS_MAIN(ProfileAcrossRuns)
#include "tst_kept_profile.moc"
