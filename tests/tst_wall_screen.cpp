#include "platform/screen_keeper.h"
#include "support/fake_window.h"

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

// A wall screen: the screen kept awake while pages show, on a session bus and X server
// of the suite's own (the test command starts both).
class WallScreen : public QObject {
    Q_OBJECT

    QThread serviceThread_;
    ScreenSaverStandIn standIn_;

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X screen and a session bus (xvfb-run, dbus-run-session)");
        auto bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "stand-in");
        standIn_.moveToThread(&serviceThread_);
        serviceThread_.start();
        QVERIFY(bus.registerObject("/org/freedesktop/ScreenSaver", &standIn_, QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService("org.freedesktop.ScreenSaver"));
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

    void withoutTheServiceTheXServerKeepsTheScreenOn()
    {
        QVERIFY(QDBusConnection("stand-in").unregisterService("org.freedesktop.ScreenSaver"));
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
};

QTEST_MAIN(WallScreen)
#include "tst_wall_screen.moc"
