#include "browse/webengine/webengine_browser.h"
#include "support/keyboard_focus.h"
#include "support/page_server.h"
#include "support/webengine_test_main.h"

#include <QWebEngineView>

#include <optional>

// The engine answers questions about a page later, through a callback.
template <typename T, typename Ask>
static T answerTo(Ask ask)
{
    std::optional<T> answer;
    ask([&](const T& value) { answer = value; });
    return QTest::qWaitFor([&] { return answer.has_value(); }, 5000) ? *answer : T();
}

// What a wall screen shows through the real engine: every page at the session's zoom,
// and a card of its own, readable across a room, for a page that cannot be shown.
class PageDisplay : public QObject {
    Q_OBJECT

    PageServer server_;

private slots:
    void initTestCase() { QVERIFY(server_.listen()); }

    // Zoom steps along the engine's ladder of rungs from the session's zoom; Ctrl+0
    // goes back to the session's zoom. An entry's own zoom is for its page alone.
    void everyPageShowsAtTheZoomAndKeysChangeIt()
    {
        WebEngineBrowser browser(nullptr, BrowserSettings{{}, 130});
        browser.resize(800, 600);
        browser.show();
        server_.addPage("/a.html", "<title>a</title><p>a");
        browser.Navigate(server_.url("/a.html"));
        // The first page already shows at the session's zoom.
        const auto zoom = [&](auto done) { browser.view()->page()->runJavaScript("devicePixelRatio * 100", done); };
        QTRY_COMPARE_WITH_TIMEOUT(qRound(answerTo<QVariant>(zoom).toDouble()), 130, 20000);
        QVERIFY(shownWithKeyboard(&browser));
        browser.setFocus();
        const std::pair<Qt::Key, int> steps[]
            = {{Qt::Key_Plus, 150}, {Qt::Key_Plus, 175}, {Qt::Key_Minus, 150}, {Qt::Key_Minus, 125}, {Qt::Key_0, 130}};
        for (const auto& [key, percent] : steps) {
            QTest::keyClick(QApplication::focusWidget(), key, Qt::ControlModifier);
            QTRY_COMPARE(qRound(answerTo<QVariant>(zoom).toDouble()), percent);
        }
        // An entry with a zoom of its own shows at it; the next without, at the session's.
        for (const std::optional<int> own : {std::optional(200), std::optional<int>()}) {
            browser.setEntryZoom(own);
            browser.Navigate(server_.url(own ? "/a.html?own" : "/a.html?session"));
            QTRY_COMPARE(qRound(answerTo<QVariant>(zoom).toDouble()), own.value_or(130));
        }
    }

    void pageThatCannotBeShownGetsACard()
    {
        server_.addRawAnswer("/error.html", "HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\n\r\n<title>own 404");
        server_.addRawAnswer("/empty.html", "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\n\r\n");
        server_.addRawAnswer("/late.html", "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n<title>late", 2500);
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        // Whether Stop is pressed at once; what the card says besides the address (empty: no
        // card); the entry's own page once it shows; how many documents completed, the card
        // being none of them.
        const std::tuple<QString, bool, QString, QString, int> rows[] = {
            {"http://127.0.0.1:" + QString::number(closed.serverPort()), false, "refused the connection", {}, 1},
            {server_.url("/error.html"), false, {}, "own 404", 1},
            {server_.url("/empty.html"), false, "error 500 and an empty page", {}, 1},
            {server_.url("/late.html"), true, {}, {}, 0},
            {server_.url("/late.html"), false, "Nothing has come", "late", 1},
        };
        closed.close();
        for (const auto& [address, stopAtOnce, cardSays, thenTitle, documents] : rows) {
            WebEngineBrowser browser(nullptr, BrowserSettings{{}, 100, std::chrono::milliseconds(1000)});
            browser.show();
            QSignalSpy completed(&browser, &WebBrowser::DocumentComplete);
            browser.Navigate(address);
            if (stopAtOnce)
                browser.Stop();
            // A card shows once its own page has loaded, which may take longer than the
            // patience: a halted load must not even ask for one, within twice the patience.
            const auto text = [&](auto done) { browser.cardView()->page()->toPlainText(done); };
            const auto cardSaysIt = [&] {
                const QString said = browser.isShowingCard() ? answerTo<QString>(text) : QString();
                return cardSays.isEmpty() ? stopAtOnce && browser.cardView()
                                          : said.contains(cardSays) && said.contains("127.0.0.1");
            };
            QCOMPARE(QTest::qWaitFor(cardSaysIt, cardSays.isEmpty() ? 2500 : 20000), !cardSays.isEmpty());
            // The entry's own page, once it comes, takes the card's place.
            QTRY_VERIFY_WITH_TIMEOUT(thenTitle.isEmpty()
                                         || (browser.view()->title() == thenTitle && !browser.isShowingCard()
                                             && browser.view()->geometry() == browser.rect()),
                                     20000);
            QCOMPARE(completed.size(), documents);
        }
    }

    // Preloading, a page comes forward whole, its picture drawn, the page before staying
    // until then; a page drawn ahead comes at once and is not asked for again; a page
    // asked for ahead in vain gives way to the one the run names.
    void preloadedPagesComeForwardWhole()
    {
        QImage picture(2400, 1800, QImage::Format_RGB32);
        picture.fill(Qt::yellow);
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "PNG"));
        server_.addRawAnswer("/picture.png", "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\n\r\n" + png);
        for (const char* colour : {"red", "blue", "green", "gray", "purple"})
            server_.addRawAnswer(QStringLiteral("/%1.html").arg(colour),
                                 "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n<body style='margin:0;background:"
                                     + QByteArray(colour) + "'><img src='/picture.png' width=400 height=300>",
                                 600);
        WebEngineBrowser browser(nullptr, BrowserSettings{{}, 100, std::chrono::milliseconds(3000), true});
        browser.resize(800, 600);
        browser.show();
        QSignalSpy completed(&browser, &WebBrowser::DocumentComplete);
        // The screen as it is the moment the browser says a page is on it.
        QImage atSwitch;
        connect(&browser, &WebBrowser::shown, [&] { atSwitch = browser.grab().toImage(); });
        const auto onScreen = [&](const char* colour) {
            return atSwitch.pixelColor(200, 150) == QColor(Qt::yellow) && atSwitch.pixelColor(600, 450) == QColor(colour);
        };
        const auto shownNow = [&](const char* colour) {
            atSwitch = browser.grab().toImage();
            return onScreen(colour);
        };

        browser.Navigate(server_.url("/red.html"));
        QVERIFY(atSwitch.isNull());
        QTRY_VERIFY_WITH_TIMEOUT(onScreen("red"), 20000);
        QTRY_COMPARE(completed.size(), 1);

        browser.prepare(server_.url("/blue.html"));
        QTest::qWait(2500);
        QVERIFY(shownNow("red"));
        browser.Navigate(server_.url("/blue.html"));
        // Heard once on the screen.
        QVERIFY(onScreen("blue") && !browser.view()->page()->isAudioMuted());
        QCOMPARE(server_.paths().count("/blue.html"), 1);

        browser.Navigate(server_.url("/green.html"));
        QVERIFY(shownNow("blue"));
        QTRY_VERIFY_WITH_TIMEOUT(onScreen("green"), 20000);

        browser.prepare(server_.url("/gray.html"));
        browser.Navigate(server_.url("/purple.html"));
        QTRY_VERIFY_WITH_TIMEOUT(onScreen("purple"), 20000);
        QTest::qWait(1000);
        QVERIFY(shownNow("purple"));
        QCOMPARE(completed.size(), 4);
    }
};

VELTRASE_WEBENGINE_TEST_MAIN(PageDisplay)
#include "tst_page_display.moc"
