#include "app/form2.h"
#include "platform/screen_keeper.h"
#include "support/fake_platform.h"
#include "support/page_server.h"
#include "support/virtual_x_server.h"

#include <QAction>
#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QLineEdit>
#include <QListWidget>
#include <QMutex>
#include <QProcess>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <optional>

namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");

} // namespace

// Stands in for the desktop's screen-saver service on a private session bus and
// records what it is asked. Like the real ones, it drops the holds of a client that
// leaves the bus. It answers from a thread of its own, as another process would.
class ScreenSaverStandIn : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    explicit ScreenSaverStandIn(const QDBusConnection& bus)
        : clients_(new QDBusServiceWatcher(QString(), bus, QDBusServiceWatcher::WatchForUnregistration, this))
    {
        connect(clients_, &QDBusServiceWatcher::serviceUnregistered, this, [this](const QString& client) {
            QMutexLocker lock(&mutex_);
            calls_ << QStringLiteral("vanished");
            holders_.removeIf([&client](auto holder) { return holder.value() == client; });
        });
    }
    QStringList calls() const
    {
        QMutexLocker lock(&mutex_);
        return calls_;
    }
    qsizetype holds() const
    {
        QMutexLocker lock(&mutex_);
        return holders_.size();
    }
    void forget()
    {
        QMutexLocker lock(&mutex_);
        calls_.clear();
    }

public slots:
    uint Inhibit(const QString& application, const QString&)
    {
        QMutexLocker lock(&mutex_);
        holders_.insert(++lastCookie_, message().service());
        clients_->addWatchedService(message().service());
        calls_ << QStringLiteral("Inhibit ") + application;
        return lastCookie_;
    }
    void UnInhibit(uint cookie)
    {
        QMutexLocker lock(&mutex_);
        calls_ << (holders_.remove(cookie) ? QStringLiteral("UnInhibit") : QStringLiteral("UnInhibit unknown"));
    }

private:
    QDBusServiceWatcher* clients_;
    mutable QMutex mutex_;
    QStringList calls_;
    QHash<uint, QString> holders_;
    uint lastCookie_ = 0;
};

// Keeping the screen awake, against a real session bus and a real X server.
class ScreenKeeperSuite : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init() { standIn_->forget(); }
    void heldFromStartUntilTheRunStopsOrEnds_data();
    void heldFromStartUntilTheRunStopsOrEnds();
    void theProgramsHoldEndsWithIt_data();
    void theProgramsHoldEndsWithIt();
    void withoutTheServiceTheXServerKeepsTheScreenOn();

private:
    QProcess busDaemon_;
    QThread serviceThread_;
    ScreenSaverStandIn* standIn_ = nullptr;
    QString busAddress_;
    PageServer server_;
    QTemporaryDir folder_;
};

void ScreenKeeperSuite::initTestCase()
{
    busDaemon_.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    QVERIFY(busDaemon_.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(busDaemon_.canReadLine(), 10000);
    busAddress_ = QString::fromUtf8(busDaemon_.readLine().trimmed());
    qputenv("DBUS_SESSION_BUS_ADDRESS", busAddress_.toUtf8());
    QVERIFY(QDBusConnection::sessionBus().isConnected());

    const QDBusConnection serviceBus = QDBusConnection::connectToBus(busAddress_, QStringLiteral("stand-in"));
    standIn_ = new ScreenSaverStandIn(serviceBus);
    standIn_->moveToThread(&serviceThread_);
    serviceThread_.start();
    QVERIFY(QDBusConnection(serviceBus).registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), standIn_,
                                                       QDBusConnection::ExportAllSlots));
    QVERIFY(QDBusConnection(serviceBus).registerService(kService));

    server_.addPage(QStringLiteral("/a.html"), "<title>a</title>a");
    QVERIFY(server_.listen());
}

void ScreenKeeperSuite::cleanupTestCase()
{
    standIn_->deleteLater();
    serviceThread_.quit();
    serviceThread_.wait();
    busDaemon_.terminate();
    busDaemon_.waitForFinished(5000);
}

void ScreenKeeperSuite::heldFromStartUntilTheRunStopsOrEnds_data()
{
    // Three pages of one second; what the user does 1.5 s into the run, and what the
    // service has been asked right after it and when the run is over.
    QTest::addColumn<bool>("option");
    QTest::addColumn<bool>("loop");
    QTest::addColumn<QString>("midRun");
    QTest::addColumn<QStringList>("callsAfterIt");
    QTest::addColumn<QStringList>("callsAtTheEnd");
    const QString inhibit = QStringLiteral("Inhibit Veltrase");
    const QStringList held{inhibit};
    const QStringList heldAndReleased{inhibit, QStringLiteral("UnInhibit")};

    QTest::newRow("Stop") << true << true << "stop" << heldAndReleased << heldAndReleased;
    QTest::newRow("the end of a run without Loop") << true << false << "" << held << heldAndReleased;
    QTest::newRow("a nested run ends first") << true << false << "start" << held << heldAndReleased;
    QTest::newRow("the window closed") << true << false << "close" << heldAndReleased << heldAndReleased;
    QTest::newRow("the Exit menu") << true << true << "exit" << heldAndReleased << heldAndReleased;
    QTest::newRow("without the option") << false << true << "stop" << QStringList() << QStringList();
}

void ScreenKeeperSuite::heldFromStartUntilTheRunStopsOrEnds()
{
    QFETCH(bool, option);
    QFETCH(bool, loop);
    QFETCH(QString, midRun);
    QFETCH(QStringList, callsAfterIt);
    QFETCH(QStringList, callsAtTheEnd);
    DesktopScreenKeeper keeper;
    FakePlatform fakes;
    fakes.options.keepScreenOn = option;
    Platform platform = fakes.platform();
    platform.screenKeeper = &keeper;
    form2 form(platform);
    form.txt_interval->setText(QStringLiteral("1"));
    form.ckLoop->setChecked(loop);
    form.lstPlayList->addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    std::optional<QStringList> callsAtFirstPage;
    QStringList callsAfterAction;
    fakes.browser->onNavigate = [&](const QString&) {
        if (!callsAtFirstPage)
            callsAtFirstPage = standIn_->calls();
    };
    fakes.pump.at(1500, [&] {
        if (midRun == QLatin1String("stop"))
            form.stop_button_Click();
        else if (midRun == QLatin1String("start"))
            form.start_button_Click();
        else if (midRun == QLatin1String("close"))
            form.close();
        else if (midRun == QLatin1String("exit"))
            form.Exit->trigger();
        callsAfterAction = standIn_->calls();
    });

    form.start_button_Click();

    QCOMPARE(callsAtFirstPage.value_or(QStringList{QStringLiteral("no page")}), callsAtTheEnd.mid(0, 1));
    QCOMPARE(callsAfterAction, callsAfterIt);
    QCOMPARE(standIn_->calls(), callsAtTheEnd);
    QCOMPARE(standIn_->holds(), 0);
}

void ScreenKeeperSuite::theProgramsHoldEndsWithIt_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("killed");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("Exit at the end of the list")
        << QStringList{QStringLiteral("--exit"), QStringLiteral("/t=1")} << false
        << QStringList{QStringLiteral("Inhibit Veltrase"), QStringLiteral("UnInhibit"), QStringLiteral("vanished")};
    QTest::newRow("killed mid-run") << QStringList{QStringLiteral("/t=60")} << true
                                    << QStringList{QStringLiteral("Inhibit Veltrase"), QStringLiteral("vanished")};
}

void ScreenKeeperSuite::theProgramsHoldEndsWithIt()
{
    QFETCH(QStringList, options);
    QFETCH(bool, killed);
    QFETCH(QStringList, calls);
    const QString listPath = folder_.filePath(QStringLiteral("list.txt"));
    QFile list(listPath);
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write(server_.url(QStringLiteral("/a.html")).toUtf8() + "\r\n");
    list.close();

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress_);
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VELTRASE_BINARY),
                  QStringList{QStringLiteral("--keep-screen-on"), QStringLiteral("/f=") + listPath} + options);
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(!standIn_->calls().isEmpty(), 30000);
    if (killed)
        ::kill(static_cast<pid_t>(program.processId()), SIGKILL);

    QVERIFY(program.waitForFinished(30000));
    QTRY_COMPARE(standIn_->calls(), calls);
    QCOMPARE(standIn_->holds(), 0);
}

void ScreenKeeperSuite::withoutTheServiceTheXServerKeepsTheScreenOn()
{
    VirtualXServer screen;
    QVERIFY(screen.start());
    screen.startScreenSaverAfterOneSecond();
    qputenv("DISPLAY", screen.display());
    QDBusConnection serviceBus(QStringLiteral("stand-in"));
    QVERIFY(serviceBus.unregisterService(kService));
    const auto comeBack = qScopeGuard([&serviceBus] { serviceBus.registerService(kService); });

    DesktopScreenKeeper keeper;
    keeper.hold();
    // Longer without input than the server's one-second timeout, and still no saver.
    QTRY_VERIFY(screen.idleMs() > 1500);
    QVERIFY(!screen.screenSaverOn());
    keeper.release();
    QTRY_VERIFY(screen.screenSaverOn());
}

QTEST_MAIN(ScreenKeeperSuite)
#include "tst_screen_keeper.moc"
