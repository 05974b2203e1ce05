#include "support/page_server.h"
#include "support/process_tree.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// The real program, started as a kiosk would start it, against a loopback server.
class EndToEnd : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void unattendedRunLoopsInOrderAndEndsCleanlyOnSigterm_data();
    void unattendedRunLoopsInOrderAndEndsCleanlyOnSigterm();
    void informationArgumentsAnswerWithoutAWindow();

private:
    PageServer server_;
    QTemporaryDir folder_;
};

void EndToEnd::initTestCase()
{
    for (const char* name : {"/a.html", "/b.html", "/c.html"})
        server_.addPage(QString::fromLatin1(name), QByteArray("<title>") + name + "</title><p>" + name);
    QVERIFY(server_.listen());
    QVERIFY(folder_.isValid());
}

void EndToEnd::unattendedRunLoopsInOrderAndEndsCleanlyOnSigterm_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void EndToEnd::unattendedRunLoopsInOrderAndEndsCleanlyOnSigterm()
{
    QFETCH(int, signal);
    // A folder with a blank in its name: the path runs to the next " /".
    const QString listFolder = folder_.filePath(QStringLiteral("my lists"));
    QVERIFY(QDir().mkpath(listFolder));
    const QString listPath = listFolder + QStringLiteral("/pages.txt");
    QFile list(listPath);
    QVERIFY(list.open(QIODevice::WriteOnly));
    for (const char* name : {"/a.html", "/b.html", "/c.html"})
        list.write(server_.url(QString::fromLatin1(name)).toUtf8() + "\r\n");
    list.close();
    const int before = server_.requests().size();

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // The kept browser profile goes here, not into the user's own.
    environment.insert(QStringLiteral("XDG_DATA_HOME"), folder_.path());
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VELTRASE_BINARY),
                  {QStringLiteral("/f=") + listFolder + QStringLiteral("/pages.txt"), QStringLiteral("/t=1")});
    QVERIFY(program.waitForStarted());

    // One pass of three, then Loop (ticked by default) begins the next pass.
    QTRY_VERIFY_WITH_TIMEOUT(server_.requests().size() - before >= 4, 30000);
    const QStringList paths = server_.paths().mid(before);
    const QRegularExpression stamped(QStringLiteral(R"(^/([abc])\.html\?\d{9,14}$)"));
    QStringList order;
    for (const QString& path : paths.mid(0, 4)) {
        const QRegularExpressionMatch match = stamped.match(path);
        QVERIFY2(match.hasMatch(), qPrintable(path));
        order << match.captured(1);
    }
    QCOMPARE(order, (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("a")}));

    const QList<qint64> helpers = descendantProcesses(program.processId());
    QVERIFY2(!helpers.isEmpty(), "the browser engine runs in helper processes");
    ::kill(static_cast<pid_t>(program.processId()), signal);
    QVERIFY(program.waitForFinished(5000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    for (qint64 helper : helpers)
        QTRY_VERIFY2_WITH_TIMEOUT(!processIsAlive(helper), qPrintable(QString::number(helper)), 5000);
}

void EndToEnd::informationArgumentsAnswerWithoutAWindow()
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    program.setProcessEnvironment(environment);

    struct Answer {
        QStringList arguments;
        int status;
        QProcess::ProcessChannel channel;
        QList<QByteArray> saying;
    };
    const QList<Answer> answers{
        {{QStringLiteral("--version")}, 0, QProcess::StandardOutput, {"Veltrase 3.1.1\n"}},
        {{QStringLiteral("--help")}, 0, QProcess::StandardOutput,
         {"/f=", "/t=", "/r=Y", "--once", "--exit", "--cache", "--full-screen", "--keep-screen-on", "--zoom=",
          "--private", "--follow", "Exit status", "XDG_DATA_HOME"}},
        {{QStringLiteral("/t=5"), QStringLiteral("--frobnicate")}, 2, QProcess::StandardError,
         {"'--frobnicate'", "--help"}},
    };
    for (const Answer& answer : answers) {
        program.start(QStringLiteral(VELTRASE_BINARY), answer.arguments);
        QVERIFY(program.waitForFinished(5000));
        QCOMPARE(program.exitCode(), answer.status);
        program.setReadChannel(answer.channel);
        const QByteArray said = program.readAll();
        for (const QByteArray& part : answer.saying)
            QVERIFY2(said.contains(part), part.constData());
    }
}

QTEST_GUILESS_MAIN(EndToEnd)
#include "tst_end_to_end.moc"
