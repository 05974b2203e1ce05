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
#include <QThread>
#include <QtTest>

#include <csignal>
#include <optional>

namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kInhibit = QStringLiteral("Inhibit Veltrase");
const QString kUnInhibit = QStringLiteral("UnInhibit");

} // namespace

// Stands in for the desktop's screen-saver service and records what it is asked, from a
// thread of its own as from another process. Like the real ones, it drops the holds of
// a client that leaves the bus.
class ScreenSaverStandIn : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    explicit ScreenSaverStandIn(const QDBusConnection& bus)
        : clients_(new QDBusServiceWatcher({}, bus, QDBusServiceWatcher::WatchForUnregistration, this))
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
        calls_ << (holders_.remove(cookie) ? kUnInhibit : QStringLiteral("UnInhibit unknown"));
    }

private:
    QDBusServiceWatcher* clients_;
    mutable QMutex mutex_;
    QStringList calls_;
    QHash<uint, QString> holders_;
    uint lastCookie_ = 0;
};

// A wall screen: the screen kept awake while pages show, on a private session bus and
// X server, and the real program started as a kiosk starts it.
class WallScreen : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init() { standIn_->forget(); }
    void heldFromStartUntilTheRunStopsOrEnds_data();
    void heldFromStartUntilTheRunStopsOrEnds();
    void withoutTheServiceTheXServerKeepsTheScreenOn();
    void theProgramLeavesNothingHeld_data();
    void theProgramLeavesNothingHeld();

private:
    QProcess busDaemon_;
    QString busAddress_;
    QThread serviceThread_;
    ScreenSaverStandIn* standIn_ = nullptr;
    VirtualXServer screen_;
    PageServer server_;
    QTemporaryDir folder_;
};

void WallScreen::initTestCase()
{
    busDaemon_.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    QTRY_VERIFY_WITH_TIMEOUT(busDaemon_.canReadLine(), 10000);
    busAddress_ = QString::fromUtf8(busDaemon_.readLine().trimmed());
    qputenv("DBUS_SESSION_BUS_ADDRESS", busAddress_.toUtf8());
    QDBusConnection serviceBus = QDBusConnection::connectToBus(busAddress_, QStringLiteral("stand-in"));
    standIn_ = new ScreenSaverStandIn(serviceBus);
    standIn_->moveToThread(&serviceThread_);
    serviceThread_.start();
    QVERIFY(serviceBus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), standIn_,
                                      QDBusConnection::ExportAllSlots));
    QVERIFY(serviceBus.registerService(kService));

    QVERIFY(screen_.start());
    server_.addPage(QStringLiteral("/a.html"), "<title>a</title>a");
    QVERIFY(server_.listen());
    QFile list(folder_.filePath(QStringLiteral("list.txt")));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write(server_.url(QStringLiteral("/a.html")).toUtf8() + "\r\n");
}

void WallScreen::cleanupTestCase()
{
    standIn_->deleteLater();
    serviceThread_.quit();
    serviceThread_.wait();
    busDaemon_.terminate();
    busDaemon_.waitForFinished(5000);
}

void WallScreen::heldFromStartUntilTheRunStopsOrEnds_data()
{
    // Three pages of a second; what the user does 1.5 s in, and what the service has
    // been asked right after it and when the run is over.
    QTest::addColumn<bool>("option");
    QTest::addColumn<bool>("loop");
    QTest::addColumn<QString>("midRun");
    QTest::addColumn<QStringList>("callsAfterIt");
    QTest::addColumn<QStringList>("callsAtTheEnd");
    const QStringList held{kInhibit}, released{kInhibit, kUnInhibit};

    QTest::newRow("Stop") << true << true << "stop" << released << released;
    QTest::newRow("the end of a run without Loop") << true << false << "" << held << released;
    QTest::newRow("a nested run ends first") << true << false << "start" << held << released;
    QTest::newRow("the window closed") << true << false << "close" << released << released;
    QTest::newRow("the Exit menu") << true << true << "exit" << released << released;
    QTest::newRow("without the option") << false << true << "stop" << QStringList() << QStringList();
}

void WallScreen::heldFromStartUntilTheRunStopsOrEnds()
{
    QFETCH(bool, option);
    QFETCH(bool, loop);
    QFETCH(QString, midRun);
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
    fakes.browser->onNavigate = [&](const QString&) {
        callsAtFirstPage = callsAtFirstPage.value_or(standIn_->calls());
    };
    QStringList callsAfterAction;
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

    QCOMPARE(callsAtFirstPage, std::optional(callsAtTheEnd.mid(0, 1)));
    QTEST(callsAfterAction, "callsAfterIt");
    QCOMPARE(standIn_->calls(), callsAtTheEnd);
    QCOMPARE(standIn_->holds(), 0);
}

void WallScreen::withoutTheServiceTheXServerKeepsTheScreenOn()
{
    screen_.startScreenSaverAfterOneSecond();
    qputenv("DISPLAY", screen_.display());
    QDBusConnection serviceBus(QStringLiteral("stand-in"));
    QVERIFY(serviceBus.unregisterService(kService));
    const auto comeBack = qScopeGuard([&serviceBus] { serviceBus.registerService(kService); });

    DesktopScreenKeeper keeper;
    keeper.hold();
    // Longer without input than the server's one-second timeout, and still no saver.
    QTRY_VERIFY(screen_.idleMs() > 1500);
    QVERIFY(!screen_.screenSaverOn());
    keeper.release();
    QTRY_VERIFY(screen_.screenSaverOn());
}

void WallScreen::theProgramLeavesNothingHeld_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("Exit at the end of the list") << QStringList{QStringLiteral("--exit"), QStringLiteral("/t=1")}
                                                 << QStringList{kInhibit, kUnInhibit, QStringLiteral("vanished")};
    QTest::newRow("killed, full screen") << QStringList{QStringLiteral("--full-screen"), QStringLiteral("/t=60")}
                                         << QStringList{kInhibit, QStringLiteral("vanished")};
}

void WallScreen::theProgramLeavesNothingHeld()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, calls);
    const qsizetype requestsBefore = server_.requests().size();
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(screen_.display()));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress_);
    program.setProcessEnvironment(environment);
    const QString list = QStringLiteral("/f=") + folder_.filePath(QStringLiteral("list.txt"));
    program.start(QStringLiteral(VELTRASE_BINARY), QStringList{QStringLiteral("--keep-screen-on"), list} + options);
    QTRY_VERIFY_WITH_TIMEOUT(!standIn_->calls().isEmpty(), 30000);

    if (options.contains(QLatin1String("--full-screen"))) {
        // Once the first page has started the browser engine (which gives the window a
        // new native window): full screen for a window manager, should one come, and
        // with none, by its own size.
        QTRY_VERIFY_WITH_TIMEOUT(server_.requests().size() > requestsBefore, 30000);
        const auto askX = [this](const QString& tool, const QStringList& arguments) {
            QProcess asking;
            const QString display = QString::fromLatin1(screen_.display());
            asking.start(tool, QStringList{QStringLiteral("-display"), display, QStringLiteral("-name"),
                                           QStringLiteral("Veltrase Pro Version")} + arguments);
            asking.waitForFinished(5000);
            return QString::fromUtf8(asking.readAllStandardOutput());
        };
        const auto windowState = [&] { return askX(QStringLiteral("xprop"), {QStringLiteral("_NET_WM_STATE")}); };
        QTRY_VERIFY(windowState().contains(QLatin1String("FULLSCREEN")));
        const QString place = askX(QStringLiteral("xwininfo"), {});
        for (const char* fact : {"upper-left X:  0", "upper-left Y:  0", "Width: 1280", "Height: 1024"})
            QVERIFY2(place.contains(QLatin1String(fact)), qPrintable(place));
        ::kill(static_cast<pid_t>(program.processId()), SIGKILL);
    }

    QVERIFY(program.waitForFinished(30000));
    QTRY_COMPARE(standIn_->calls(), calls);
    QCOMPARE(standIn_->holds(), 0);
}

QTEST_MAIN(WallScreen)
#include "tst_wall_screen.moc"
