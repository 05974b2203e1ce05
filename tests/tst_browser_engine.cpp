#include "browse/engine_on_demand_browser.h"
#include "browse/webengine/url_from_user_text.h"
#include "support/page_server.h"
#include "support/real_window.h"
#include "support/webengine_test_main.h"

#include <QTcpServer>

// The browser adapter on the real engine: what it makes of an entry, that every load
// ends in DocumentComplete but a stopped one does not, and a window without its engine plugin.
class BrowserEngine : public QObject {
    Q_OBJECT

private slots:
    void documentCompleteFollowsFailedLoadsButNotAStop();
    void localPathsAndBareHostsBecomeUrls();
    void missingEnginePluginLeavesTheWindowWorking();
};

void BrowserEngine::documentCompleteFollowsFailedLoadsButNotAStop()
{
    RealWindow w;
    QSignalSpy completed(w.form.WebBrowser1, &WebBrowser::DocumentComplete);
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
    closed.close();

    w.browser().setSilent(true);
    int loads = 0;
    for (const QString& url : {QStringLiteral("http://127.0.0.1:%1/refused.html").arg(closed.serverPort()),
                               QStringLiteral("/nonexistent/page.html"), QStringLiteral("data:text/html,<p>page")}) {
        w.browser().Navigate(url);
        ++loads;
        QTRY_COMPARE_WITH_TIMEOUT(completed.size(), loads, 20000);
    }
    // Halted while the server is still answering: no document was completed.
    PageServer server;
    server.addRawAnswer("/slow.html", "HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\n<p>slow", 60000);
    QVERIFY(server.listen());
    QSignalSpy finished(&w.page(), &QWebEnginePage::loadFinished);
    w.browser().Navigate(server.url("/slow.html"));
    QTRY_COMPARE_WITH_TIMEOUT(server.requests().size(), 1, 20000);
    w.browser().Stop();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
    w.browser().Navigate(QStringLiteral("data:text/html,<p>after"));
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 20000);
    QCOMPARE(completed.size(), loads + 1);
}

void BrowserEngine::localPathsAndBareHostsBecomeUrls()
{
    const std::pair<const char*, const char*> typed[]
        = {{"example.com", "http://example.com"},
           {"/opt/my pages/a.html", "file:///opt/my pages/a.html"},
           {"https://h/p?a=1&b", "https://h/p?a=1&b"},
           {"/opt/a.html?202435789#top", "file:///opt/a.html?202435789#top"},
           {"", "about:blank"}};
    for (const auto& [text, url] : typed)
        QCOMPARE(urlFromUserText(QString::fromUtf8(text), QStringLiteral("/tmp")).toString(QUrl::PrettyDecoded), url);
}

void BrowserEngine::missingEnginePluginLeavesTheWindowWorking()
{
    EngineOnDemandBrowser browser(QStringLiteral("/nonexistent/veltrase-webengine.so"));
    QSignalSpy completed(&browser, &WebBrowser::DocumentComplete);
    browser.Stop();
    browser.setSilent(true);
    browser.Navigate(QStringLiteral("data:text/html,<p>one"));
    browser.Navigate(QStringLiteral("data:text/html,<p>two"));
    browser.Stop();
    QCoreApplication::processEvents();
    QCOMPARE(completed.size(), 0);
    QVERIFY(browser.findChildren<QWidget*>().isEmpty());
}

VELTRASE_WEBENGINE_TEST_MAIN(BrowserEngine)
#include "tst_browser_engine.moc"
