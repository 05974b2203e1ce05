#include "platform/display_power.h"
#include "platform/screen_keeper.h"
#include "support/fake_window.h"
#include "support/page_server.h"

#include <QtDBus>

// Last: Xlib's macros clash with the toolkit's names.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

// Stands in for the desktop's screen-saver service, answering from a thread of its own
// as from another process: counts the holds it gives, and the releases that hand back
// the last one's receipt.
class ScreenSaverStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    std::atomic<int> holds = 0, releases = 0;

public slots:
    uint Inhibit(const QString&, const QString&) { return ++holds; }
    void UnInhibit(uint receipt) { releases += receipt == uint(holds); }
};

// Counts what a media player on the bus says has changed.
class ChangeListener : public QObject {
    Q_OBJECT

public:
    QStringList changed;

public slots:
    void propertiesChanged(const QString&, const QVariantMap& properties, const QStringList&)
    {
        changed += properties.keys();
    }
};

// Stands in for the desktop portal's inhibitor (and the request object of the one hold
// it gives): counts the holds of the session's idling, and the closes of that request.
class PortalStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Inhibit")

public:
    static constexpr char kRequest[] = "/org/freedesktop/portal/desktop/request/1_1/veltrase";
    std::atomic<int> idleHolds = 0;

public slots:
    QDBusObjectPath Inhibit(const QString&, uint flags, const QVariantMap&)
    {
        idleHolds += flags == 8;
        return QDBusObjectPath(kRequest);
    }
};
class RequestStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")

public:
    std::atomic<int> closes = 0;

public slots:
    void Close() { ++closes; }
};

// A wall screen: the screen kept awake while pages show, on a session bus of the suite's
// own and an X server or a Wayland compositor (the test command starts them).
class WallScreen : public QObject {
    Q_OBJECT

    QThread serviceThread_;
    ScreenSaverStandIn standIn_;
    PortalStandIn portal_;
    RequestStandIn request_;
    QDBusConnection bus_{QDBusConnection::connectToBus(QDBusConnection::SessionBus, "stand-in")};

private slots:
    void initTestCase()
    {
        if (!bus_.isConnected())
            QSKIP("needs a session bus (dbus-run-session)");
        for (QObject* standIn : std::initializer_list<QObject*>{&standIn_, &portal_, &request_})
            standIn->moveToThread(&serviceThread_);
        serviceThread_.start();
        QVERIFY(bus_.registerObject("/org/freedesktop/ScreenSaver", &standIn_, QDBusConnection::ExportAllSlots));
        QVERIFY(bus_.registerObject("/org/freedesktop/portal/desktop", &portal_, QDBusConnection::ExportAllSlots));
        QVERIFY(bus_.registerObject(PortalStandIn::kRequest, &request_, QDBusConnection::ExportAllSlots));
        QVERIFY(bus_.registerService("org.freedesktop.ScreenSaver"));
    }
    void cleanupTestCase() { serviceThread_.quit(), serviceThread_.wait(); }

    // Three pages, what the user does 1.5 s in, and whether the screen may sleep again
    // right after it rather than when the run is over; before it, the screen is held.
    void heldFromStartUntilTheRunStopsOrEnds()
    {
        // The end of a run releases it too: the outer run's, after a nested one.
        for (const auto& [option, midRun, releasedAtOnce] :
             {std::tuple{true, &form2::stop_button_Click, true}, std::tuple{true, &form2::start_button_Click, false},
              std::tuple{true, &form2::Exit_Click, true}, std::tuple{false, &form2::stop_button_Click, true}}) {
            standIn_.holds = standIn_.releases = 0;
            DesktopScreenKeeper keeper;
            FakePlatform fakes;
            Platform seams = fakes.platform();
            seams.options = {.once = true, .keepScreenOn = option};
            seams.screenKeeper = &keeper;
            form2 form(seams);
            form.lstPlayList->addItems({"a", "b", "c"});
            QList<int> afterIt;
            fakes.pump.at(1500, [&] {
                (form.*midRun)();
                afterIt = {standIn_.holds, standIn_.releases};
            });

            form.start_button_Click();

            const QList<int> held{option, 0}, released{option, option};
            QCOMPARE(afterIt, releasedAtOnce ? released : held);
            QCOMPARE((QList<int>{standIn_.holds, standIn_.releases}), released);
        }
    }

    // Which services the desktop offers, and who holds the screen then over two runs:
    // the holds and releases of the screen-saver service, of the portal, and the words
    // said. With neither, the X server holds it on X (below); a Wayland desktop is told so.
    void theScreenSaverServiceElseThePortalElseAWord()
    {
        const bool onX = QGuiApplication::platformName() == QLatin1String("xcb");
        for (const auto& [screenSaver, portal, expected] :
             {std::tuple{true, true, QList<int>{2, 2, 0, 0, 0}}, std::tuple{false, true, QList<int>{0, 0, 2, 2, 0}},
              std::tuple{false, false, QList<int>{0, 0, 0, 0, onX ? 0 : 1}}}) {
            bus_.unregisterService("org.freedesktop.ScreenSaver");
            bus_.unregisterService("org.freedesktop.portal.Desktop");
            QVERIFY(!screenSaver || bus_.registerService("org.freedesktop.ScreenSaver"));
            QVERIFY(!portal || bus_.registerService("org.freedesktop.portal.Desktop"));
            standIn_.holds = standIn_.releases = portal_.idleHolds = request_.closes = 0;
            int said = 0;
            DesktopScreenKeeper keeper([&said](const QString& text) { said += text.contains("keep the screen on"); });
            for (int run = 0; run < 2; ++run)
                keeper.hold(), keeper.hold(), keeper.release();
            QCOMPARE((QList<int>{standIn_.holds, standIn_.releases, portal_.idleHolds, request_.closes, said}), expected);
        }
    }

    void withoutTheServiceTheXServerKeepsTheScreenOn()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("the X server's own screen saver: on an X screen only (xvfb-run)");
        bus_.unregisterService("org.freedesktop.ScreenSaver");
        bus_.unregisterService("org.freedesktop.portal.Desktop");
        Display* display = qApp->nativeInterface<QNativeInterface::QX11Application>()->display();
        XSetScreenSaver(display, 1, 0, DontPreferBlanking, AllowExposures);
        XScreenSaverInfo saver{};
        const auto ask = [&] { return XScreenSaverQueryInfo(display, DefaultRootWindow(display), &saver) != 0; };

        DesktopScreenKeeper keeper;
        keeper.hold();
        // Longer without input than the server's one-second timeout, and still no saver.
        QTRY_VERIFY(ask() && saver.idle > 1500 && saver.state != ScreenSaverOn);
        keeper.release();
        QTRY_VERIFY(ask() && saver.state == ScreenSaverOn);
    }

    // Outside the screen's hours the display is powered down by the user's commands, in
    // turn; one that fails is said.
    void displayPowerSaysWhatFailed()
    {
        QTemporaryDir folder;
        const QString file = folder.filePath("said");
        const struct {
            QString off, on, said;
        } rows[] = {{"echo off >> " + file, "echo on >> " + file, ""},
                    {"exit 3", "", "--screen-off-command 'exit 3' failed with status 3"}};
        for (const auto& row : rows) {
            QStringList said;
            SystemDisplayPower power(row.off, row.on, [&said](const QString& text) { said << text; });
            for (const bool on : {false, true})
                power.setPowered(on), QTest::qWait(300);
            QCOMPARE(said.join(u'|'), row.said);
        }
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly) && written.readAll() == "off\non\n");
    }

    // The desktop's media controls steer the real program on the suite's session bus: each
    // command shows in the page the program asks for and in what it says on the bus.
    void mediaControlsSteerTheRun()
    {
        PageServer server;
        QVERIFY(server.listen());
        QTemporaryFile list;
        QVERIFY(list.open());
        for (const char* page : {"a", "b", "c", "x"}) {
            server.addPage(QStringLiteral("/%1.html").arg(page), QByteArray("<title>page ") + page + "</title>");
            if (*page != 'x')
                list.write(server.url(QStringLiteral("/%1.html").arg(page)).toUtf8() + "\n");
        }
        list.flush();
        QProcess program;
        program.start(VELTRASE_BINARY, {"--private", "--cache", "/f=" + list.fileName(), "/t=60"});
        const QString service = "org.mpris.MediaPlayer2.veltrase", path = "/org/mpris/MediaPlayer2";
        ChangeListener listener;
        QVERIFY(QDBusConnection::sessionBus().connect(service, path, "org.freedesktop.DBus.Properties",
                                                      "PropertiesChanged", &listener,
                                                      SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
        const auto lastPage = [&] { return server.paths().value(server.paths().size() - 1).mid(1, 1); };
        QTRY_COMPARE_WITH_TIMEOUT(lastPage(), "a", 20000);
        QDBusInterface player(service, path, "org.mpris.MediaPlayer2.Player");
        // The command, its argument, then the page last asked for, the player's state and
        // what it announces as changed (a file is no address it opens: nothing).
        const std::tuple<QString, QString, QString, QString, QString> steps[] = {
            {"Next", {}, "b", "Playing", "Metadata"},
            {"Pause", {}, "b", "Paused", "PlaybackStatus"},
            {"Play", {}, "c", "Playing", "Metadata"},
            {"Previous", {}, "b", "Playing", "Metadata"},
            {"OpenUri", server.url("/x.html"), "x", "Playing", "Metadata"},
            {"OpenUri", "file:///etc/passwd", "x", "Playing", {}},
            {"Stop", {}, "x", "Stopped", "PlaybackStatus"},
            {"Play", {}, "a", "Playing", "Metadata"}};
        for (const auto& [command, argument, page, state, announced] : steps) {
            listener.changed.clear();
            const QVariantList arguments = argument.isEmpty() ? QVariantList() : QVariantList{argument};
            QCOMPARE(player.callWithArgumentList(QDBus::Block, command, arguments).type(), QDBusMessage::ReplyMessage);
            QTRY_COMPARE_WITH_TIMEOUT(lastPage(), page, 10000);
            QTRY_COMPARE(player.property("PlaybackStatus").toString(), state);
            if (announced.isEmpty())
                QTest::qWait(1500);
            const auto title = [&] { return player.property("Metadata").toMap().value("xesam:title").toString(); };
            QTRY_COMPARE_WITH_TIMEOUT(title(), "page " + page, 10000);
            QTRY_COMPARE(listener.changed.contains(announced), !announced.isEmpty());
        }
        program.terminate();
        QVERIFY(program.waitForFinished(5000));
    }
};

QTEST_MAIN(WallScreen)
#include "tst_wall_screen.moc"
