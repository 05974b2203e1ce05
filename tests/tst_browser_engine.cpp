#include "app/form2.h"
#include "browse/engine_on_demand_browser.h"
#include "browse/webengine/url_from_user_text.h"
#include "browse/webengine/webengine_browser.h"
#include "platform/event_pump.h"
#include "support/fake_platform.h"
#include "support/page_server.h"
#include "support/real_window.h"
#include "support/webengine_test_main.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTcpServer>
#include <QWebEngineView>

// Runs through the real browser engine against a loopback server.
class BrowserEngine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void shortRunRequestsEachPageOnceInOrder();
    void documentCompleteFollowsFailedLoadsButNotAStop();
    void localPathsAndBareHostsBecomeUrls_data();
    void localPathsAndBareHostsBecomeUrls();
    void missingEnginePluginLeavesTheWindowWorking();

private:
    PageServer server_;
};

namespace {

QList<QWidget*> visibleDialogs()
{
    QList<QWidget*> result;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && (qobject_cast<QDialog*>(window) || qobject_cast<QMessageBox*>(window)))
            result << window;
    return result;
}

} // namespace

void BrowserEngine::initTestCase()
{
    server_.addPage(QStringLiteral("/one.html"), "<title>one</title><p>one");
    server_.addPage(QStringLiteral("/two.html"),
                    "<title>two</title><script>alert('hello'); confirm('sure?'); prompt('name?');</script><p>two");
    server_.addPage(QStringLiteral("/three.html"), "<title>three</title><p>three");
    server_.addRawAnswer(QStringLiteral("/slow.html"),
                         "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 6\r\n\r\n<p>slow", 60000);
    QVERIFY(server_.listen());
}

void BrowserEngine::shortRunRequestsEachPageOnceInOrder()
{
    RealWindow w;
    w.form.show();
    w.form.lstPlayList->addItems({server_.url(QStringLiteral("/one.html")), server_.url(QStringLiteral("/two.html")),
                                  server_.url(QStringLiteral("/three.html"))});
    QList<QWidget*> dialogsDuringRun;
    connect(w.form.WebBrowser1, &WebBrowser::DocumentComplete, this, [&] { dialogsDuringRun << visibleDialogs(); });
    const int before = server_.requests().size();

    w.form.start_button_Click();

    const QStringList seen = server_.paths().mid(before);
    QCOMPARE(seen, (QStringList{QStringLiteral("/one.html?202435789"), QStringLiteral("/two.html?202435789"),
                                QStringLiteral("/three.html?202435789")}));
    QVERIFY(dialogsDuringRun.isEmpty());
    QVERIFY(visibleDialogs().isEmpty());
    QTRY_COMPARE(w.browser().view()->title(), QStringLiteral("three"));
    // Requests come one dwell apart.
    const QList<PageServer::Request> requests = server_.requests().mid(before);
    for (int i = 1; i < requests.size(); ++i)
        QVERIFY2(requests[i].receivedMs - requests[i - 1].receivedMs >= 900,
                 qPrintable(QString::number(requests[i].receivedMs - requests[i - 1].receivedMs)));
}

void BrowserEngine::documentCompleteFollowsFailedLoadsButNotAStop()
{
    RealWindow w;
    QSignalSpy completed(w.form.WebBrowser1, &WebBrowser::DocumentComplete);
    QTcpServer closedPort;
    QVERIFY(closedPort.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closedPort.serverPort();
    closedPort.close();

    w.browser().setSilent(true);
    w.browser().Navigate(QStringLiteral("http://127.0.0.1:%1/refused.html").arg(port));
    QTRY_COMPARE_WITH_TIMEOUT(completed.size(), 1, 20000);
    w.browser().Navigate(server_.url(QStringLiteral("/missing.html")));
    QTRY_COMPARE_WITH_TIMEOUT(completed.size(), 2, 20000);
    w.browser().Navigate(server_.url(QStringLiteral("/one.html")));
    QTRY_COMPARE_WITH_TIMEOUT(completed.size(), 3, 20000);

    // Halted while the server is still answering: no document was completed.
    QSignalSpy loads(&w.page(), &QWebEnginePage::loadFinished);
    const int before = server_.requests().size();
    w.browser().Navigate(server_.url(QStringLiteral("/slow.html")));
    QTRY_COMPARE_WITH_TIMEOUT(server_.requests().size(), before + 1, 20000);
    w.browser().Stop();
    QTRY_COMPARE_WITH_TIMEOUT(loads.size(), 1, 20000);
    w.browser().Navigate(server_.url(QStringLiteral("/three.html")));
    QTRY_COMPARE_WITH_TIMEOUT(loads.size(), 2, 20000);
    QCOMPARE(completed.size(), 4);
}

void BrowserEngine::localPathsAndBareHostsBecomeUrls_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("bare host") << QStringLiteral("example.com") << QStringLiteral("http://example.com");
    QTest::newRow("absolute path") << QStringLiteral("/opt/my pages/a.html")
                                   << QStringLiteral("file:///opt/my pages/a.html");
    QTest::newRow("path with stamp and fragment") << QStringLiteral("/opt/a.html?202435789#top")
                                                  << QStringLiteral("file:///opt/a.html?202435789#top");
    QTest::newRow("full url unchanged") << QStringLiteral("https://h/p?a=1&b") << QStringLiteral("https://h/p?a=1&b");
    QTest::newRow("empty") << QString() << QStringLiteral("about:blank");
}

void BrowserEngine::localPathsAndBareHostsBecomeUrls()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QCOMPARE(urlFromUserText(typed, QStringLiteral("/tmp")).toString(QUrl::PrettyDecoded), expected);
}

void BrowserEngine::missingEnginePluginLeavesTheWindowWorking()
{
    EngineOnDemandBrowser browser(QStringLiteral("/nonexistent/veltrase-webengine.so"));
    QSignalSpy completed(&browser, &WebBrowser::DocumentComplete);
    browser.Stop();
    browser.setSilent(true);
    browser.Navigate(server_.url(QStringLiteral("/one.html")));
    browser.Navigate(server_.url(QStringLiteral("/two.html")));
    browser.Stop();
    QCoreApplication::processEvents();
    QCOMPARE(completed.size(), 0);
    QVERIFY(browser.findChildren<QWidget*>().isEmpty());
}

VELTRASE_WEBENGINE_TEST_MAIN(BrowserEngine)
#include "tst_browser_engine.moc"
