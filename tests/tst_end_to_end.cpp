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

    program.start(QStringLiteral(VELTRASE_BINARY), {QStringLiteral("--version")});
    QVERIFY(program.waitForFinished(5000));
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(program.readAllStandardOutput(), QByteArray("Veltrase 3.1.1\n"));

    program.start(QStringLiteral(VELTRASE_BINARY), {QStringLiteral("--help")});
    QVERIFY(program.waitForFinished(5000));
    QCOMPARE(program.exitCode(), 0);
    const QByteArray usage = program.readAllStandardOutput();
    for (const char* option : {"/f=", "/t=", "/r=Y", "Example"})
        QVERIFY2(usage.contains(option), option);
}

QTEST_GUILESS_MAIN(EndToEnd)
#include "tst_end_to_end.moc"
