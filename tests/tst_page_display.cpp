#include "browse/webengine/webengine_browser.h"
#include "support/page_server.h"
#include "support/webengine_test_main.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <optional>

namespace {

// The engine answers questions about a page later, through a callback.
template <typename T, typename Ask>
T answerTo(Ask ask)
{
    std::optional<T> answer;
    ask([&](const T& value) { answer = value; });
    return QTest::qWaitFor([&] { return answer.has_value(); }, 5000) ? *answer : T();
}

QString closedPortUrl()
{
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    return QStringLiteral("http://127.0.0.1:%1/refused.html").arg(closed.serverPort());
}

QByteArray answer(const QByteArray& status, const QByteArray& body)
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(body.size())
        + "\r\nConnection: close\r\n\r\n" + body;
}

} // namespace

// What a wall screen shows through the real engine: every page at the session's zoom,
// and a card of its own, readable across a room, for a page that cannot be shown.
class PageDisplay : public QObject {
    Q_OBJECT

    PageServer server_;

private slots:
    void initTestCase()
    {
        server_.addPage(QStringLiteral("/a.html"), "<title>a</title><p>a");
        server_.addRawAnswer(QStringLiteral("/own-error.html"), answer("404 Not Found", "<title>own 404</title>gone"));
        server_.addRawAnswer(QStringLiteral("/never.html"), answer("200 OK", "never"), 600000);
        server_.addRawAnswer(QStringLiteral("/late.html"), answer("200 OK", "<title>late</title>at last"), 2500);
        QVERIFY(server_.listen());
    }

    // Zoom steps along the engine's ladder of rungs, from the session's zoom, whatever
    // the site; Ctrl+0 goes back to the session's zoom.
    void everyPageShowsAtTheZoomAndKeysChangeIt()
    {
        WebEngineBrowser browser(nullptr, BrowserSettings{{}, 130});
        browser.resize(800, 600);
        browser.show();
        QVERIFY(QTest::qWaitForWindowActive(&browser));
        QSignalSpy completed(&browser, &WebBrowser::DocumentComplete);

        // The engine keeps a zoom per site unless told otherwise: "localhost" is another site.
        const QString page = server_.url(QStringLiteral("/a.html"));
        const struct {
            QString navigateTo; // empty: the key is pressed instead
            Qt::Key key;
            int percent;
        } steps[] = {
            {page, {}, 130},
            {{}, Qt::Key_Plus, 150},
            {{}, Qt::Key_Plus, 175},
            {{}, Qt::Key_Minus, 150},
            {{}, Qt::Key_Minus, 125},
            {QString(page).replace(QStringLiteral("127.0.0.1"), QStringLiteral("localhost")), {}, 125},
            {{}, Qt::Key_0, 130},
        };
        for (const auto& step : steps) {
            if (!step.navigateTo.isEmpty()) {
                const qsizetype before = completed.size();
                browser.Navigate(step.navigateTo);
                QTRY_VERIFY_WITH_TIMEOUT(completed.size() > before, 20000);
                browser.setFocus();
            } else {
                QTest::keyClick(QApplication::focusWidget(), step.key, Qt::ControlModifier);
            }
            QTRY_COMPARE(answerTo<QVariant>([&](auto done) {
                             browser.view()->page()->runJavaScript(QStringLiteral("Math.round(devicePixelRatio * 100)"),
                                                                   done);
                         }).toInt(),
                         step.percent);
        }
    }

    void pageThatCannotBeShownGetsACard()
    {
        const auto at = [this](const char* path) { return server_.url(QString::fromLatin1(path)); };
        const QString waiting = QStringLiteral("Nothing has come from the server since");
        const struct {
            QString address;
            bool stopAtOnce;
            QString cardSays;  // empty: no card
            QString thenTitle; // the entry's own page, once it shows
        } rows[] = {
            {closedPortUrl(), false, QStringLiteral("The server refused the connection."), {}},
            {QStringLiteral("http://no-such-host.invalid/"), false, QStringLiteral("name could not be found"), {}},
            {at("/own-error.html"), false, {}, QStringLiteral("own 404")},
            {at("/never.html"), false, waiting, {}},
            {at("/never.html"), true, {}, {}},
            {at("/late.html"), false, waiting, QStringLiteral("late")},
        };
        for (const auto& row : rows) {
            WebEngineBrowser browser(nullptr, BrowserSettings{{}, 100, std::chrono::milliseconds(1000)});
            browser.setSilent(true);
            browser.show();
            QSignalSpy completed(&browser, &WebBrowser::DocumentComplete);
            const QTime attempted = QTime::currentTime();
            browser.Navigate(row.address);
            if (row.stopAtOnce)
                browser.Stop();

            if (row.cardSays.isEmpty()) {
                // Long enough for a card that should not come to have come.
                QTest::qWait(2500);
                QVERIFY2(!browser.isShowingCard(), qPrintable(row.address));
            } else {
                // The card tells what went wrong, where, and since when.
                QString text;
                QTRY_VERIFY_WITH_TIMEOUT(browser.isShowingCard() && (text = answerTo<QString>([&](auto done) {
                                                                         browser.cardView()->page()->toPlainText(done);
                                                                     })).contains(row.cardSays),
                                         20000);
                const auto says = [&](QTime time) { return text.contains(time.toString(QStringLiteral("HH:mm:ss"))); };
                QVERIFY2(text.contains(QUrl(row.address).host()) && (says(attempted) || says(attempted.addSecs(1))),
                         qPrintable(text));
            }
            if (!row.thenTitle.isEmpty()) {
                QTRY_COMPARE_WITH_TIMEOUT(browser.view()->page()->title(), row.thenTitle, 20000);
                QTRY_VERIFY(!browser.isShowingCard());
            }
            // The card is the browser's own doing: it never counts as a document of the run.
            QVERIFY2(completed.size() <= 1, qPrintable(row.address));
        }
    }
};

VELTRASE_WEBENGINE_TEST_MAIN(PageDisplay)
#include "tst_page_display.moc"
