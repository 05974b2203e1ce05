#include "app/form2.h"
#include "browse/engine_on_demand_browser.h"
#include "support/fake_platform.h"
#include "support/webengine_test_main.h"

// The program's window and its browser, which loads the engine on the first page, on
// a real X screen: starting the engine leaves the window where the user put it. As a
// Wayland client the window keeps its surface; where it is on screen is the compositor's
// to say, so there the place compared is only the one the window asked for.
class WindowPlace : public QObject {
    Q_OBJECT

private slots:
    void firstPageKeepsTheNativeWindowAndItsPlace()
    {
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            QSKIP("needs an X screen (xvfb-run) or a Wayland compositor");
        FakePlatform fakes;
        Platform seams = fakes.platform();
        seams.makeBrowser = [](QWidget* parent) { return new EngineOnDemandBrowser(VELTRASE_ENGINE_PLUGIN, parent); };
        form2 form(seams);
        form.move(90, 70);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const std::pair place(form.winId(), form.geometry());
        QSignalSpy completed(form.WebBrowser1, &WebBrowser::DocumentComplete);

        // Shown as a run shows it.
        form.WebBrowser1->show();
        form.WebBrowser1->Navigate(QStringLiteral("data:text/html,<p>a"));

        QTRY_VERIFY_WITH_TIMEOUT(!completed.isEmpty(), 30000);
        QCOMPARE(std::pair(form.winId(), form.geometry()), place);
    }
};

VELTRASE_WEBENGINE_TEST_MAIN(WindowPlace)
#include "tst_window_place.moc"
