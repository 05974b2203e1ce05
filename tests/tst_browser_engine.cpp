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
        server.addPage("/page.html", "<title>page</title><p>private");
        const QString steal = "location='" + server.url("/steal?t=") + "'+encodeURIComponent(document.title)//?2024";
        WebEngineBrowser browser;
        browser.show();
        QSignalSpy completed(&browser, &WebBrowser::DocumentComplete), cards(&browser, &WebBrowser::cardShown);
        for (const QString scheme : {"javascript:", "JavaScript:", " javascript:", "java\tscript:", ""}) {
            browser.Navigate(server.url("/page.html"));
            QTRY_VERIFY_WITH_TIMEOUT(completed.size() == 1 && !browser.isShowingCard(), 20000);
            if (scheme.isEmpty()) // Had a script run, its request would have come before this page's.
                break;
            browser.Navigate(scheme + steal);
            QTRY_VERIFY_WITH_TIMEOUT(completed.size() == 2 && browser.isShowingCard(), 20000);
            QVERIFY2(cards.last().first().toString().contains("script"), qPrintable(scheme));
            completed.clear();
        }
        QVERIFY(server.paths().filter("/steal").isEmpty() && cards.last().first().toString().isEmpty());
    }

    // A playlist's local page shows the picture beside it but reads no other file, by request
    // or through a frame. The program's own pages, in a folder whose name holds '#' and '?', show.
    void localPageReadsNoOtherFile()
    {
        QTemporaryDir folder;
        const auto put = [&](const QString& name, const QByteArray& content) {
            QFile file(folder.filePath(name));
            return QDir(folder.path()).mkpath(QFileInfo(name).path()) && file.open(QIODevice::WriteOnly)
                && file.write(content) == content.size();
        };
        const QByteArray page = R"html(<img src="picture.svg" onload="say('picture')" onerror="say('no picture')">
            <script>const said = [], say = (what) => { said.push(what); document.title = said.sort().join(' '); };
            const read = new XMLHttpRequest();
            read.onload = () => say('read ' + read.responseText), read.onerror = () => say('refused');
            try { read.open('GET', '../secret.txt'); read.send(); } catch (e) { say('refused'); }</script>
            <iframe src="../secret.txt"></iframe><script>setTimeout(() => { try { say(frames[0].document.body
                .innerText ? 'framed' : 'unframed') } catch (e) { say('unframed') } }, 1000)</script>)html";
        QVERIFY(put("secret.txt", "secret"));
        for (const QString place : {"list/", "help #1 ?/"})
            QVERIFY(put(place + "page.html", page)
                    && put(place + "picture.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='9' height='9'/>"));
        WebEngineBrowser browser;
        browser.Navigate(folder.filePath("list/page.html"));
        QTRY_COMPARE_WITH_TIMEOUT(browser.view()->title(), "picture refused unframed", 20000);
        const QString help = folder.filePath("help #1 ?/page.html");
        browser.NavigateToFile(help);
        QTRY_VERIFY_WITH_TIMEOUT(browser.view()->title() == "picture refused unframed"
                                     && browser.view()->url() == QUrl::fromLocalFile(help),
                                 20000);
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
