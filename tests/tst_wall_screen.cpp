#include "app/form2.h"
#include "platform/screen_keeper.h"
#include "support/fake_platform.h"

#include <QCheckBox>
#include <QDBusConnection>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

#include <optional>

// Last: Xlib's macros clash with the toolkit's names.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kInhibit = QStringLiteral("Inhibit Veltrase");
const QString kUnInhibit = QStringLiteral("UnInhibit");

// What a user does while a run shows pages.
using Action = void (form2::*)();

} // namespace

// Stands in for the desktop's screen-saver service, answering from a thread of its own
// as from another process, and records what it is asked.
class ScreenSaverStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    QStringList calls() const
    {
        QMutexLocker lock(&mutex_);
        return calls_;
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
        calls_ << QStringLiteral("Inhibit ") + application;
        return ++lastCookie_;
    }
    void UnInhibit(uint cookie)
    {
        QMutexLocker lock(&mutex_);
        calls_ << (cookie == lastCookie_ ? kUnInhibit : QStringLiteral("UnInhibit unknown"));
    }

private:
    mutable QMutex mutex_;
    QStringList calls_;
    uint lastCookie_ = 0;
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
        QDBusConnection serviceBus
            = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("stand-in"));
        standIn_.moveToThread(&serviceThread_);
        serviceThread_.start();
        QVERIFY(serviceBus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &standIn_,
                                          QDBusConnection::ExportAllSlots));
        QVERIFY(serviceBus.registerService(kService));
    }
    void cleanupTestCase()
    {
        serviceThread_.quit();
        serviceThread_.wait();
    }
    // Three pages of a second, what the user does 1.5 s in, and whether the screen may
    // sleep again right after it rather than when the run is over.
    void heldFromStartUntilTheRunStopsOrEnds()
    {
        const struct {
            bool option;
            Action midRun;
            bool releasedAtOnce;
        } rows[] = {
            {true, &form2::stop_button_Click, true},   {true, nullptr, false}, // the end of the run
            {true, &form2::start_button_Click, false},                         // a nested run ends first
            {true, &form2::Exit_Click, true},          {false, &form2::stop_button_Click, true},
        };
        for (const auto& [option, midRun, releasedAtOnce] : rows) {
            standIn_.forget();
            DesktopScreenKeeper keeper;
            FakePlatform fakes;
            fakes.options.keepScreenOn = option;
            Platform platform = fakes.platform();
            platform.screenKeeper = &keeper;
            form2 form(platform);
            form.txt_interval->setText(QStringLiteral("1"));
            form.ckLoop->setChecked(false);
            form.lstPlayList->addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
            std::optional<QStringList> atFirstPage;
            fakes.browser->onNavigate = [&](const QString&) { atFirstPage = atFirstPage.value_or(standIn_.calls()); };
            QStringList afterIt;
            fakes.pump.at(1500, [&] {
                if (midRun)
                    (form.*midRun)();
                afterIt = standIn_.calls();
            });

            form.start_button_Click();

            const QStringList held = option ? QStringList{kInhibit} : QStringList();
            const QStringList released = option ? QStringList{kInhibit, kUnInhibit} : QStringList();
            QCOMPARE(atFirstPage, std::optional(held));
            QCOMPARE(afterIt, releasedAtOnce ? released : held);
            QCOMPARE(standIn_.calls(), released);
        }
    }

    void withoutTheServiceTheXServerKeepsTheScreenOn()
    {
        QVERIFY(QDBusConnection(QStringLiteral("stand-in")).unregisterService(kService));
        Display* display = XOpenDisplay(nullptr);
        QVERIFY(display);
        const auto closing = qScopeGuard([display] { XCloseDisplay(display); });
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
