#include "app/form2.h"
#include "browse/engine_on_demand_browser.h"
#include "platform/event_pump.h"
#include "support/fake_platform.h"
#include "support/page_server.h"
#include "support/webengine_test_main.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>

// The program's window and its browser, which loads the engine on the first page, on
// a real X screen: starting the engine leaves the window where the user put it.
class WindowPlace : public QObject {
    Q_OBJECT

private slots:
    void firstPageKeepsTheNativeWindowAndItsPlace();
};

void WindowPlace::firstPageKeepsTheNativeWindowAndItsPlace()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X screen (xvfb-run)");
    PageServer server;
    server.addPage(QStringLiteral("/a.html"), "<title>a</title><p>a");
    QVERIFY(server.listen());
    FakePlatform fakes;
    QtEventPump pump;
    form2 form(Platform{
        pump, fakes.clock, fakes.random, fakes.messages, fakes.dialogs, fakes.processEnd,
        [](QWidget* parent) { return new EngineOnDemandBrowser(QStringLiteral(VELTRASE_ENGINE_PLUGIN), parent); },
        QString(), QString()});
    form.txt_interval->setText(QStringLiteral("1"));
    form.ckLoop->setChecked(false);
    form.lstPlayList->addItem(server.url(QStringLiteral("/a.html")));
    form.move(90, 70);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const auto place = [&form] {
        return QVariantList{qulonglong(form.winId()), form.geometry(), int(form.windowState())};
    };
    const QVariantList before = place();
    QSignalSpy completed(form.WebBrowser1, &WebBrowser::DocumentComplete);

    form.start_button_Click();

    QTRY_VERIFY_WITH_TIMEOUT(!completed.isEmpty(), 30000);
    QCOMPARE(place(), before);
}

VELTRASE_WEBENGINE_TEST_MAIN(WindowPlace)
#include "tst_window_place.moc"
