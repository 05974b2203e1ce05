#include "browse/engine_on_demand_browser.h"
#include "browse/webengine/url_from_user_text.h"
#include "browse/webengine/webengine_browser.h"
#include "support/webengine_test_main.h"

#include <QSignalSpy>

// The browser adapter on the real engine: what it makes of an entry, when an entry's
// page counts as come, and a window without its engine plugin.
class BrowserEngine : public QObject {
    Q_OBJECT

private slots:
    // A load that fails still ends the entry's wait for its page.
    void documentCompleteFollowsAFailedLoad()
    {
        WebEngineBrowser browser;
        browser.setSilent(true);
        QSignalSpy completed(&browser, &WebBrowser::DocumentComplete);
        browser.Navigate("/nonexistent/page.html");
        QTRY_COMPARE_WITH_TIMEOUT(completed.size(), 1, 20000);
    }

    void localPathsAndBareHostsBecomeUrls()
    {
        const std::pair<const char*, const char*> typed[]
            = {{"example.com", "http://example.com"},
               {"/opt/my pages/a.html", "file:///opt/my pages/a.html"},
               {"https://h/p?a=1&b", "https://h/p?a=1&b"},
               {"/opt/a.html?202435789#top", "file:///opt/a.html?202435789#top"},
               {"", "about:blank"}};
        for (const auto& [text, url] : typed)
            QCOMPARE(urlFromUserText(text, "/tmp").toString(QUrl::PrettyDecoded), url);
    }

    void missingEnginePluginLeavesTheWindowWorking()
    {
        EngineOnDemandBrowser browser("/nonexistent/veltrase-webengine.so");
        QSignalSpy completed(&browser, &WebBrowser::DocumentComplete);
        browser.setSilent(true);
        browser.Navigate("data:text/html,<p>one");
        browser.Stop();
        QCoreApplication::processEvents();
        QVERIFY(completed.isEmpty() && browser.findChildren<QWidget*>().isEmpty());
    }
};

VELTRASE_WEBENGINE_TEST_MAIN(BrowserEngine)
#include "tst_browser_engine.moc"
