#include "browse/webengine/page_zoom.h"
#include "browse/webengine/webengine_browser.h"
#include "support/page_server.h"
#include "support/webengine_test_main.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QWebEnginePage>
#include <QWebEngineView>

// What a wall screen shows through the real engine: every page at the session's zoom,
// and a card of its own, readable across a room, for a page that cannot be shown.
class PageDisplay : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void zoomStepsAlongTheLadder();
    void everyPageShowsAtTheZoomAndKeysChangeIt();
    void pageThatCannotBeShownGetsACard_data();
    void pageThatCannotBeShownGetsACard();

private:
    PageServer server_;
};

namespace {

QVariant evaluated(QWebEnginePage& page, const QString& script)
{
    QVariant result;
    bool answered = false;
    page.runJavaScript(script, [&](const QVariant& value) { result = value, answered = true; });
    return QTest::qWaitFor([&] { return answered; }, 5000) ? result : QVariant();
}

QString plainText(QWebEnginePage& page)
{
    QString result;
    bool answered = false;
    page.toPlainText([&](const QString& text) { result = text, answered = true; });
    return QTest::qWaitFor([&] { return answered; }, 5000) ? result.simplified() : QString();
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

void PageDisplay::initTestCase()
{
    server_.addPage(QStringLiteral("/a.html"), "<title>a</title><p>a");
    server_.addRawAnswer(QStringLiteral("/closed.html"), QByteArray());
    server_.addRawAnswer(QStringLiteral("/empty-error.html"), answer("500 Internal Server Error", {}));
    server_.addRawAnswer(QStringLiteral("/own-error.html"), answer("404 Not Found", "<title>own 404</title>gone"));
    server_.addRawAnswer(QStringLiteral("/never.html"), answer("200 OK", "never"), 600000);
    server_.addRawAnswer(QStringLiteral("/late.html"), answer("200 OK", "<title>late</title>at last"), 2500);
    QVERIFY(server_.listen());
}

void PageDisplay::zoomStepsAlongTheLadder()
{
    const struct {
        int percent, steps, expected;
    } rows[] = {{100, 1, 110}, {100, -1, 90}, {130, 1, 150}, {130, -1, 125}, {450, 2, 500}, {33, -3, 25}, {77, 0, 77}};
    for (const auto& row : rows)
        QCOMPARE(steppedZoomPercent(row.percent, row.steps), row.expected);
}

void PageDisplay::everyPageShowsAtTheZoomAndKeysChangeIt()
{
    WebEngineBrowser browser(nullptr, BrowserSettings{{}, 150});
    browser.resize(800, 600);
    browser.show();
    QVERIFY(QTest::qWaitForWindowActive(&browser));
    QSignalSpy completed(&browser, &WebBrowser::DocumentComplete);

    // The engine keeps a zoom per site unless told otherwise: "localhost" is another site.
    const QString otherSite = server_.url(QStringLiteral("/a.html")).replace(QStringLiteral("127.0.0.1"),
                                                                            QStringLiteral("localhost"));
    const struct {
        QString navigateTo;
        Qt::Key key;
        int percent;
    } steps[] = {
        {server_.url(QStringLiteral("/a.html")), Qt::Key_unknown, 150},
        {{}, Qt::Key_Plus, 175},
        {{}, Qt::Key_Minus, 150},
        {{}, Qt::Key_Minus, 125},
        {otherSite, Qt::Key_unknown, 125},
        {{}, Qt::Key_0, 150},
        {server_.url(QStringLiteral("/a.html?again")), Qt::Key_unknown, 150},
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
        QTRY_COMPARE(evaluated(*browser.view()->page(), QStringLiteral("Math.round(devicePixelRatio * 100)")).toInt(),
                     step.percent);
    }
}

void PageDisplay::pageThatCannotBeShownGetsACard_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("stopAtOnce");
    QTest::addColumn<QString>("cardSays"); // empty: no card
    QTest::addColumn<QString>("thenTitle"); // the entry's own page, once it shows

    const auto at = [this](const char* path) { return server_.url(QString::fromLatin1(path)); };
    const QString waiting = QStringLiteral("Nothing has come from the server since");
    QTest::newRow("refused") << closedPortUrl() << false << "The server refused the connection." << "";
    QTest::newRow("no such name") << "http://no-such-host.invalid/" << false << "name could not be found" << "";
    QTest::newRow("closed unanswered") << at("/closed.html") << false << "closed the connection without answering"
                                       << "";
    QTest::newRow("empty error") << at("/empty-error.html") << false << "error 500 and an empty page" << "";
    QTest::newRow("site's own error page") << at("/own-error.html") << false << "" << "own 404";
    QTest::newRow("never answers") << at("/never.html") << false << waiting << "";
    QTest::newRow("halted on purpose") << at("/never.html") << true << "" << "";
    QTest::newRow("arrives after the card") << at("/late.html") << false << waiting << "late";
}

void PageDisplay::pageThatCannotBeShownGetsACard()
{
    QFETCH(QString, address);
    QFETCH(bool, stopAtOnce);
    QFETCH(QString, cardSays);
    QFETCH(QString, thenTitle);

    BrowserSettings settings;
    settings.patience = std::chrono::milliseconds(1000);
    WebEngineBrowser browser(nullptr, settings);
    browser.setSilent(true);
    browser.show();
    QSignalSpy completed(&browser, &WebBrowser::DocumentComplete);
    const QDateTime attempted = QDateTime::currentDateTime();
    browser.Navigate(address);
    if (stopAtOnce)
        browser.Stop();

    if (cardSays.isEmpty()) {
        // Long enough for a card that should not come to have come.
        QTest::qWait(2500);
        QVERIFY(!browser.isShowingCard());
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(browser.isShowingCard(), 20000);
        QString text;
        QTRY_VERIFY_WITH_TIMEOUT((text = plainText(*browser.cardView()->page())).contains(cardSays), 5000);
        QVERIFY2(text.contains(QUrl(address).host()), qPrintable(text));
        const QString second = attempted.toString(QStringLiteral("HH:mm:ss"));
        const QString next = attempted.addSecs(1).toString(QStringLiteral("HH:mm:ss"));
        QVERIFY2(text.contains(second) || text.contains(next), qPrintable(text));
    }
    if (!thenTitle.isEmpty()) {
        QTRY_COMPARE_WITH_TIMEOUT(browser.view()->page()->title(), thenTitle, 20000);
        QTRY_VERIFY(!browser.isShowingCard());
    }
    // The card is the browser's own doing: it never counts as a document of the run.
    QVERIFY2(completed.size() <= 1, qPrintable(QString::number(completed.size())));
}

VELTRASE_WEBENGINE_TEST_MAIN(PageDisplay)
#include "tst_page_display.moc"
