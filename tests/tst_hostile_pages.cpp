#include "support/page_server.h"
#include "support/real_window.h"
#include "support/webengine_test_main.h"

#include <QListWidget>
#include <QProcess>
#include <QSslKey>
#include <QSslServer>
#include <QTemporaryDir>
#include <QWebEngineDownloadRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>

#include <csignal>

// Pages and servers that misbehave, run through the real browser engine: an unattended
// screen must keep its schedule, never stop on a question, never open a window, and
// come back when the page's process dies, or when it holds its process.
class HostilePages : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(server_.listen()); }
    void hostilePlaylistKeepsItsScheduleAndAsksNothing();
    void killedRendererComesBackAndTheRunGoesOn();

private:
    PageServer server_;
};

namespace {

// Every window but the main one that shows during a run (a page dialog, a message box,
// a pop-up) is recorded and closed, so a failure is reported instead of hanging the run.
struct WindowWatch {
    explicit WindowWatch(QWidget* mainWindow)
    {
        QObject::connect(&timer, &QTimer::timeout, [this, mainWindow] {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window != mainWindow && window->isVisible() && window->close())
                    seen << QString::fromLatin1(window->metaObject()->className()) + u' ' + window->windowTitle();
        });
        timer.start(20);
    }
    QTimer timer;
    QStringList seen;
};

// An https server with a certificate made at test time, as on a device's own admin page.
// A browser that refuses the certificate connects but sends no request.
struct SelfSignedServer {
    explicit SelfSignedServer(const QString& folder)
    {
        QFile key(folder + "/key.pem"), certificate(folder + "/certificate.pem");
        if (!QSslSocket::supportsSsl()
            || QProcess::execute("openssl",
                                 {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                                  "-days", "2", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                                  "-keyout", key.fileName(), "-out", certificate.fileName()})
                != 0
            || !key.open(QIODevice::ReadOnly) || !certificate.open(QIODevice::ReadOnly))
            return;
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificate(QSslCertificate(certificate.readAll()));
        configuration.setPrivateKey(QSslKey(key.readAll(), QSsl::Ec));
        server.setSslConfiguration(configuration);
        QObject::connect(&server, &QSslServer::startedEncryptionHandshake, [this](QSslSocket* socket) {
            ++connections;
            QObject::connect(socket, &QSslSocket::readyRead, [this, socket] { requests << socket->readAll(); });
        });
        server.listen(QHostAddress::LocalHost, 0);
    }
    QSslServer server;
    int connections = 0;
    QList<QByteArray> requests;
};

QByteArray answer(const QByteArray& status, const QByteArray& headers, const QByteArray& body)
{
    return "HTTP/1.1 " + status + "\r\n" + headers + "\r\nContent-Length: " + QByteArray::number(body.size())
        + "\r\nConnection: close\r\n\r\n" + body;
}

} // namespace

void HostilePages::hostilePlaylistKeepsItsScheduleAndAsksNothing()
{
    const QByteArray html = "Content-Type: text/html";
    const auto page = [&html](const char* name) {
        QFile file(QStringLiteral(VELTRASE_SOURCE_DIR "/tests/pages/") + QLatin1String(name));
        return answer("200 OK", html, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    };
    // Each answer the server gives, at the path the run must ask for once, in its own slot.
    // The pages ask all they can of a user: the next entry must still load one dwell later.
    const std::pair<const char*, QByteArray> served[] = {
        {"/dialogs.html", page("dialogs.html")},
        {"/popups.html", page("popups.html")},
        {"/permissions.html", page("permissions.html")},
        {"/download.bin", answer("200 OK", "Content-Disposition: attachment; filename=\"report.bin\"", "report")},
        {"/error.html", answer("500 Internal Server Error", html, "<title>500</title>broken")},
        {"/loop.html", answer("302 Found", "Location: /loop.html?again", {})},
    };
    for (const auto& [path, response] : served)
        server_.addRawAnswer(path, response);
    // Answers long after the dwell: the next entry must not wait for it.
    server_.addRawAnswer("/slow.html", answer("200 OK", html, "at last"), 10000);
    server_.addPage("/idn.html", "idn");
    server_.addPage("/long.html", "long");
    // Pages that would hold the screen: a script that never yields, a load that never
    // ends, a page that reloads itself for ever, one that eats memory until its renderer dies.
    server_.addPage("/spin.html", "<title>spin</title><p>spin<script>while (true) {}</script>");
    server_.addRawAnswer("/endless.html", "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n<p>endless", 0, true);
    server_.addPage("/reloading.html", "<script>setTimeout(() => location.reload(), 100)</script>");
    server_.addPage("/hog.html", R"(<script>const kept = [];
        setInterval(() => { for (let i = 0; i < 20; ++i) kept.push(new Array(1e6).fill(i)); }, 5);</script>)");
    server_.addPage("/alive-a.html", "<title>a</title><p>a");
    QTemporaryDir folder;
    SelfSignedServer secure(folder.path());
    QVERIFY2(secure.server.isListening(), "no openssl, or no TLS in Qt");
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
    closed.close();

    // Each entry; for those the page server answers, the path it must see; what shows at
    // the end of its slot ("card": the program's own error card), if checked; whether the
    // page asks only once (else the page itself asks again within the slot).
    struct Entry {
        QString text, path, shows = {};
        bool askedOnce = true;
    };
    const QString stamp = QStringLiteral("202435789"), longQuery(100 * 1024, u'q');
    QList<Entry> entries;
    for (const auto& [path, response] : served)
        entries.append({server_.url(path), QString::fromLatin1(path) + u'?' + stamp});
    entries[4].shows = "500";
    const QString popup = server_.url("/popup-target.html");
    entries += QList<Entry>{
        {server_.url("/slow.html"), "/slow.html?" + stamp},
        {server_.url("/long.html?") + longQuery, "/long.html?" + longQuery + u'&' + stamp},
        // The engine takes every name under "localhost" for this machine: the request comes
        // here, its host in ASCII form.
        {QStringLiteral("http://bücher.localhost:%1/idn.html").arg(QUrl(server_.url({})).port()), "/idn.html?" + stamp},
        // Runs in the page on screen; the "//" keeps the stamp, put before the "#", a comment.
        {"javascript:alert('list');window.open('" + popup + "?js');document.title='list script ran';//#", {}},
        {"data:text/html,<title>data</title><script>alert('data');window.open('" + popup + "?data')</script>#", {}},
        {QStringLiteral("http://127.0.0.1:%1/refused.html").arg(closed.serverPort()), {}, "card"},
        {QStringLiteral("https://127.0.0.1:%1/secure.html").arg(secure.server.serverPort()), {}, "card"},
        {QString(), {}},
        {"?", {}},
    };
    // Last, since a page whose renderer is stuck is replaced: each is followed by a page
    // that must show in its slot.
    const qsizetype firstHolding = entries.size();
    for (const QString held : {"spin", "endless", "reloading", "hog"})
        entries << Entry{server_.url("/" + held + ".html"),
                         "/" + held + ".html?" + stamp,
                         {},
                         held != "reloading" && held != "hog"}
                << Entry{server_.url("/alive-a.html?after-" + held), "/alive-a.html?after-" + held + u'&' + stamp, "a"};

    RealWindow w;
    w.form.show();
    QVERIFY(w.startEngine());
    for (const auto& entry : entries)
        w.form.lstPlayList->addItem(entry.text);
    w.form.ckLoop->setChecked(true);
    w.form.txt_interval->setText(QStringLiteral("2"));
    WindowWatch watch(&w.form);
    // The longest the window went without handling its events while the misbehaving
    // pages were on: how late a Stop would have been answered.
    QElapsedTimer sinceTick;
    qint64 longestStallMs = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    connect(&ticker, &QTimer::timeout, this, [&] {
        if (sinceTick.isValid() && w.form.lstPlayList->currentRow() >= firstHolding)
            longestStallMs = std::max(longestStallMs, sinceTick.elapsed() - 10);
        sinceTick.start();
    });
    ticker.start(10);
    int popupsAsked = 0;
    connect(&w.page(), &QWebEnginePage::newWindowRequested, this, [&](QWebEngineNewWindowRequest&) { ++popupsAsked; });
    QList<QWebEngineDownloadRequest::DownloadState> downloads;
    connect(w.page().profile(), &QWebEngineProfile::downloadRequested, this,
            [&](QWebEngineDownloadRequest* download) { downloads << download->state(); });
    QStringList titles;
    connect(&w.page(), &QWebEnginePage::titleChanged, this, [&](const QString& title) { titles << title.left(60); });
    // A click gives a page the user's activation, which lets through what a page may only
    // do after one: pop-ups, and the question before leaving. The page may take a moment
    // to accept input, so the click is repeated until the page says it saw one.
    QTimer clicker;
    connect(&clicker, &QTimer::timeout, this, [&] {
        if (w.page().title() == u"dialogs" || w.page().title() == u"popups")
            if (QWidget* content = w.browser().view()->focusProxy())
                QTest::mouseClick(content, Qt::LeftButton, {}, content->rect().center());
    });
    clicker.start(100);
    // When each entry was shown and what the one before left on screen; Stop just after
    // the second pass begins.
    QList<qint64> shownAt;
    QStringList leftOnScreen;
    connect(w.form.lstPlayList, &QListWidget::currentRowChanged, this, [&](int row) {
        shownAt << server_.elapsedMs();
        leftOnScreen << (w.browser().isShowingCard() ? QStringLiteral("card") : w.page().title());
        QCOMPARE(row, (shownAt.size() - 1) % entries.size());
        if (shownAt.size() == entries.size() + 1)
            QTimer::singleShot(0, &w.form, [&] { w.form.stop_button_Click(); });
    });
    const QList<PageServer::Request> before = server_.requests();

    w.form.start_button_Click();

    QVERIFY2(watch.seen.isEmpty(), qPrintable(watch.seen.join(u", ")));
    QVERIFY(w.fakes.messages.shown.isEmpty() && !w.form.isFullScreen() && !w.browser().view()->isFullScreen());
    QVERIFY(w.form.PassCount == 1 && shownAt.size() > entries.size());
    const QList<PageServer::Request> requests = server_.requests().mid(before.size());
    for (qsizetype row = 0; row < entries.size(); ++row) {
        const qint64 held = shownAt[row + 1] - shownAt[row];
        QVERIFY2(held >= 1800 && held <= 2200, qPrintable(QStringLiteral("entry %1 held %2 ms").arg(row).arg(held)));
        QVERIFY2(entries[row].shows.isEmpty() || leftOnScreen[row + 1] == entries[row].shows,
                 qPrintable(leftOnScreen[row + 1]));
        QList<qint64> asked;
        for (const PageServer::Request& request : requests)
            if (request.path == entries[row].path)
                asked << request.receivedMs;
        // A page that reloads itself may have one more reload in flight as the next entry
        // begins; its first request is the one the schedule made.
        const bool inItsSlot = (entries[row].askedOnce ? asked.size() == 1 : !asked.isEmpty())
            && asked[0] >= shownAt[row] && asked[0] < shownAt[row + 1];
        QVERIFY2(entries[row].path.isEmpty() || inItsSlot,
                 qPrintable(QStringLiteral("entry %1 asked %2 times, or outside its slot").arg(row).arg(asked.size())));
    }
    // No pop-up was loaded, in a window or anywhere else, though the clicked page asked;
    // the redirect loop was followed a bounded number of times.
    int loops = 0;
    for (const PageServer::Request& request : requests) {
        QVERIFY2(!request.path.startsWith(u"/popup-target"), qPrintable(request.path));
        loops += request.path == u"/loop.html?again";
        QVERIFY(!request.path.startsWith(u"/idn.html") || request.host.startsWith(u"xn--bcher-kva.localhost:"));
    }
    QVERIFY2(longestStallMs < 50, qPrintable(QString::number(longestStallMs)));
    QVERIFY(popupsAsked >= 1 && loops >= 1 && loops <= 25);
    QCOMPARE(w.form.findChildren<QWebEngineView*>().size(), w.browser().cardView() ? 2 : 1);
    // Nothing was downloaded, nothing was granted, and every script ran.
    QCOMPARE(downloads, QList{QWebEngineDownloadRequest::DownloadCancelled});
    for (const char* title :
         {"geo:refused notify:denied media:refused", "dialogs clicked", "popups clicked", "list script ran"})
        QVERIFY2(titles.contains(QLatin1String(title)), qPrintable(titles.join(u" | ")));
    // The self-signed server was reached, and its certificate refused before any request.
    QVERIFY(secure.connections > 0 && secure.requests.isEmpty());
}

void HostilePages::killedRendererComesBackAndTheRunGoesOn()
{
    server_.addPage("/alive-a.html", "<title>a</title><p>a");
    server_.addPage("/alive-b.html", "<title>b</title><p>b");
    RealWindow w;
    w.form.show();
    QVERIFY(w.startEngine());
    w.form.lstPlayList->addItems({server_.url("/alive-a.html"), server_.url("/alive-b.html")});
    // Two seconds, so the reload has time to finish within the dwell on a busy machine.
    w.form.txt_interval->setText(QStringLiteral("2"));
    WindowWatch watch(&w.form);

    // The first time the first page shows, its render process is killed.
    qint64 killed = 0;
    QList<QWebEnginePage::RenderProcessTerminationStatus> ends;
    connect(&w.page(), &QWebEnginePage::renderProcessTerminated, this,
            [&](QWebEnginePage::RenderProcessTerminationStatus status, int) { ends << status; });
    connect(&w.page(), &QWebEnginePage::loadFinished, this, [&](bool ok) {
        if (killed == 0 && ok && w.page().url().path() == u"/alive-a.html")
            ::kill(pid_t(killed = w.page().renderProcessPid()), SIGKILL);
    });
    const qsizetype before = server_.requests().size();

    w.form.start_button_Click();

    QVERIFY(killed > 0);
    QCOMPARE(ends, QList{QWebEnginePage::KilledTerminationStatus});
    // The first page was loaded again within its dwell, then the run went on to the second.
    QCOMPARE(server_.paths().mid(before),
             (QStringList{"/alive-a.html?202435789", "/alive-a.html?202435789", "/alive-b.html?202435789"}));
    QTRY_COMPARE(w.browser().view()->title(), QStringLiteral("b"));
    QVERIFY(w.page().renderProcessPid() != killed && watch.seen.isEmpty());
}

VELTRASE_WEBENGINE_TEST_MAIN(HostilePages)
#include "tst_hostile_pages.moc"
