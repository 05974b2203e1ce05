#include "app/form2.h"
#include "browse/webengine/webengine_browser.h"
#include "platform/event_pump.h"
#include "support/fake_platform.h"
#include "support/page_server.h"
#include "support/real_window.h"
#include "support/process_tree.h"
#include "support/webengine_test_main.h"
#ifdef VELTRASE_HAVE_X11
#include "support/x11_window_close.h"
#endif

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QWebEngineDownloadRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <csignal>

// Pages and servers that misbehave, run through the real browser engine: an unattended
// screen must keep its schedule, never stop on a question, never open a window, and
// come back when the page's process dies.
class HostilePages : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void hostilePlaylistKeepsItsScheduleAndAsksNothing();
    void killedRendererComesBackAndTheRunGoesOn();
    void closingTheWindowMidDwellEndsTheProgramAtOnce();

private:
    PageServer server_;
    QTemporaryDir folder_;
};

namespace {

const QString kStamp = QStringLiteral("202435789");

// Every window but the main one that shows while it runs: a page dialog, a message box, a
// pop-up. Each is recorded and closed, so a failure is reported instead of hanging the run.
class WindowWatch final : public QObject {
public:
    explicit WindowWatch(QWidget* mainWindow)
        : mainWindow_(mainWindow)
    {
        connect(&timer_, &QTimer::timeout, this, &WindowWatch::look);
        timer_.start(20);
    }
    QStringList seen;

private:
    void look()
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window == mainWindow_ || !window->isVisible())
                continue;
            seen << QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(window->metaObject()->className()),
                                                   window->windowTitle());
            if (auto* dialog = qobject_cast<QDialog*>(window))
                dialog->reject();
            else
                window->close();
        }
    }

    QWidget* mainWindow_;
    QTimer timer_;
};

// An https server with a certificate it made itself, as on a device's own admin page.
// It records each connection; a browser that refuses the certificate sends no request.
class SelfSignedServer final : public QObject {
public:
    bool start(const QString& folder)
    {
        if (!QSslSocket::supportsSsl())
            return false;
        const QString keyPath = folder + QStringLiteral("/key.pem");
        const QString certificatePath = folder + QStringLiteral("/certificate.pem");
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                       QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"),
                       QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"),
                       QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                       QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"), keyPath,
                       QStringLiteral("-out"), certificatePath});
        if (!openssl.waitForFinished(20000) || openssl.exitCode() != 0)
            return false;
        QFile keyFile(keyPath);
        QFile certificateFile(certificatePath);
        if (!keyFile.open(QIODevice::ReadOnly) || !certificateFile.open(QIODevice::ReadOnly))
            return false;
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificate(QSslCertificate(certificateFile.readAll()));
        configuration.setPrivateKey(QSslKey(keyFile.readAll(), QSsl::Ec));
        server_.setSslConfiguration(configuration);
        connect(&server_, &QSslServer::startedEncryptionHandshake, this, [this](QSslSocket* socket) {
            connections << clock_.elapsed();
            connect(socket, &QSslSocket::readyRead, this, [this, socket] { requests << socket->readAll(); });
        });
        clock_.start();
        return server_.listen(QHostAddress::LocalHost, 0);
    }
    QString url(const QString& path) const
    {
        return QStringLiteral("https://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }
    QElapsedTimer clock_;
    QList<qint64> connections;
    QList<QByteArray> requests;

private:
    QSslServer server_;
};

QByteArray rawAnswer(const QByteArray& statusLine, const QByteArray& headers, const QByteArray& body)
{
    return "HTTP/1.1 " + statusLine + "\r\n" + headers + "Content-Length: " + QByteArray::number(body.size())
        + "\r\nConnection: close\r\n\r\n" + body;
}

QString closedPortUrl()
{
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const quint16 port = closed.serverPort();
    closed.close();
    return QStringLiteral("http://127.0.0.1:%1/refused.html").arg(port);
}

// One of this program's engine helpers. A renderer is forked from the engine's zygote
// and keeps its command line, so "--type=renderer" cannot tell it apart.
bool isEngineHelperOfThisProgram(qint64 pid)
{
    QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(pid));
    return descendantProcesses(QCoreApplication::applicationPid()).contains(pid)
        && commandLine.open(QIODevice::ReadOnly) && commandLine.readAll().contains("QtWebEngineProcess");
}

} // namespace

void HostilePages::initTestCase()
{
    QVERIFY(folder_.isValid());

    // Asks everything a page can ask of a user at load, again on a click, and before
    // it is left: the next entry must still load one dwell later.
    server_.addPage(QStringLiteral("/dialogs.html"), R"(<title>dialogs</title><script>
        alert('alert'); confirm('confirm?'); prompt('prompt?', 'answer');
        addEventListener('beforeunload', e => { e.preventDefault(); e.returnValue = 'stay'; return 'stay'; });
        addEventListener('click', () => { document.title = 'dialogs clicked'; alert('clicked'); print(); });
        </script><p style="height:100vh">dialogs)");
    // Pop-ups without a click (the engine blocks those) and with one (it lets them through),
    // and a page that wants the whole screen or its window closed.
    server_.addPage(QStringLiteral("/popups.html"), R"(<title>popups</title><script>
        window.open('/popup-target.html?load');
        window.close();
        addEventListener('click', () => {
            document.title = 'popups clicked';
            window.open('/popup-target.html?click');
            window.open('/popup-target.html?sized', 'sized', 'width=200,height=200');
            document.getElementById('blank').click();
            document.documentElement.requestFullscreen().catch(() => {});
            window.close();
        });
        </script><a id="blank" href="/popup-target.html?blank" target="_blank">new</a>
        <p style="height:100vh">popups)");
    server_.addPage(QStringLiteral("/permissions.html"), R"(<title>permissions</title><script>
        const asked = {geo: 'pending', notify: 'pending', media: 'pending'};
        const show = () => { document.title = Object.entries(asked).map(([k, v]) => k + ':' + v).join(' '); };
        navigator.geolocation.getCurrentPosition(() => { asked.geo = 'granted'; show(); },
                                                 e => { asked.geo = 'refused'; show(); });
        Notification.requestPermission().then(p => { asked.notify = p; show(); });
        navigator.mediaDevices.getUserMedia({audio: true, video: true})
            .then(() => { asked.media = 'granted'; show(); }, () => { asked.media = 'refused'; show(); });
        show();
        </script>)");
    server_.addRawAnswer(QStringLiteral("/download.bin"),
                         rawAnswer("200 OK",
                                   "Content-Type: application/octet-stream\r\n"
                                   "Content-Disposition: attachment; filename=\"report.bin\"\r\n",
                                   QByteArray(4096, 'x')));
    server_.addRawAnswer(QStringLiteral("/error.html"),
                         rawAnswer("500 Internal Server Error", "Content-Type: text/html\r\n",
                                   "<title>500</title>broken"));
    // Answers long after the dwell: the next entry must not wait for it.
    server_.addRawAnswer(QStringLiteral("/slow.html"),
                         rawAnswer("200 OK", "Content-Type: text/html\r\n", "<title>slow</title>at last"), 10000);
    server_.addRawAnswer(QStringLiteral("/loop.html"),
                         rawAnswer("302 Found", "Location: /loop.html?again\r\n", QByteArray()));
    server_.addPage(QStringLiteral("/long.html"), "<title>long</title>long");
    server_.addPage(QStringLiteral("/idn.html"), "<title>idn</title>idn");
    // Pages that would hold the screen: a script that never yields, a load that never
    // ends, a page that reloads itself for ever, and one that eats memory until its
    // renderer dies.
    server_.addPage(QStringLiteral("/spin.html"), "<title>spin</title><p>spin<script>while (true) {}</script>");
    server_.addRawAnswer(QStringLiteral("/endless.html"),
                         "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n<title>endless</title><p>endless", 0, true);
    server_.addPage(QStringLiteral("/reloading.html"),
                    "<title>reloading</title><script>setTimeout(() => location.reload(), 100)</script>");
    server_.addPage(QStringLiteral("/hog.html"), R"(<title>hog</title><script>const kept = [];
        setInterval(() => { for (let i = 0; i < 20; ++i) kept.push(new Array(1e6).fill(i)); }, 5);</script>)");
    server_.addPage(QStringLiteral("/alive-a.html"), "<title>a</title><p>a");
    server_.addPage(QStringLiteral("/alive-b.html"), "<title>b</title><p>b");
    QVERIFY(server_.listen());
}

void HostilePages::hostilePlaylistKeepsItsScheduleAndAsksNothing()
{
    SelfSignedServer secure;
    const bool withHttps = secure.start(folder_.path());
    if (!withHttps)
        qWarning("no openssl or no TLS in Qt: the self-signed https entry is left out");
    const qint64 secureClockOffset = server_.elapsedMs();

    struct Entry {
        QString text;
        QString pathAsRequested; // what the page server must see in its slot, if anything
        QString shows = {};      // the title on screen at the end of the slot, or "card", if checked
        bool askedOnce = true;   // else asked again within the slot, by the page itself
    };
    const QString longQuery(100 * 1024, QLatin1Char('q'));
    const QString popupTarget = server_.url(QStringLiteral("/popup-target.html"));
    QList<Entry> entries = {
        {server_.url(QStringLiteral("/dialogs.html")), QStringLiteral("/dialogs.html?") + kStamp},
        {server_.url(QStringLiteral("/popups.html")), QStringLiteral("/popups.html?") + kStamp},
        {server_.url(QStringLiteral("/permissions.html")), QStringLiteral("/permissions.html?") + kStamp},
        // Runs in the page on screen; the "//" keeps the stamp, put before the "#", a comment.
        {QStringLiteral("javascript:alert('list');window.open('%1?js');document.title='list script ran';//#")
             .arg(popupTarget),
         {}},
        {QStringLiteral("data:text/html,<title>data</title><script>alert('data');window.open('%1?data')</script>#")
             .arg(popupTarget),
         {}},
        {server_.url(QStringLiteral("/download.bin")), QStringLiteral("/download.bin?") + kStamp},
        {closedPortUrl(), {}, QStringLiteral("card")},
        {server_.url(QStringLiteral("/error.html")), QStringLiteral("/error.html?") + kStamp, QStringLiteral("500")},
        {server_.url(QStringLiteral("/slow.html")), QStringLiteral("/slow.html?") + kStamp},
        {server_.url(QStringLiteral("/loop.html")), QStringLiteral("/loop.html?") + kStamp},
        {QString(), {}},
        {QStringLiteral("?"), {}},
        {server_.url(QStringLiteral("/long.html?")) + longQuery,
         QStringLiteral("/long.html?") + longQuery + QLatin1Char('&') + kStamp},
        // The engine takes every name under "localhost" for this machine, so the request
        // arrives here with the host in its ASCII form.
        {QStringLiteral("http://bücher.localhost:%1/idn.html").arg(QUrl(server_.url({})).port()),
         QStringLiteral("/idn.html?") + kStamp},
    };
    if (withHttps)
        entries.insert(entries.size() - 2, {secure.url(QStringLiteral("/secure.html")), {}, QStringLiteral("card")});
    const int httpsRow = withHttps ? int(entries.size()) - 3 : -1;
    // Last, since a page whose renderer is stuck is replaced: the page watched above goes.
    const int firstHolding = int(entries.size());
    const auto holding = [&](const char* path, bool askedOnce, const char* after) {
        const QString held = QString::fromLatin1(path);
        entries << Entry{server_.url(held), held + QLatin1Char('?') + kStamp, {}, askedOnce}
                << Entry{server_.url(QStringLiteral("/alive-a.html?") + QString::fromLatin1(after)),
                         QStringLiteral("/alive-a.html?%1&%2").arg(QString::fromLatin1(after), kStamp),
                         QStringLiteral("a")};
    };
    holding("/spin.html", true, "after-spin");
    holding("/endless.html", true, "after-endless");
    holding("/reloading.html", false, "after-reloading");
    holding("/hog.html", false, "after-hog");

    RealWindow w;
    w.form.show();
    QVERIFY(w.startEngine());
    for (const Entry& entry : entries)
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
    connect(&w.page(), &QWebEnginePage::titleChanged, this, [&](const QString& title) { titles << title; });
    // A click gives a page the user's activation, which lets through what a page may only
    // do after one: pop-ups, and the question before leaving. The page may take a moment
    // to accept input, so the click is repeated until the page says it saw one.
    QTimer clicker;
    connect(&clicker, &QTimer::timeout, this, [&] {
        const QString path = w.page().url().path();
        if ((path == QLatin1String("/dialogs.html") || path == QLatin1String("/popups.html"))
            && !w.page().title().endsWith(QLatin1String("clicked")))
            if (QWidget* content = w.browser().view()->focusProxy())
                QTest::mouseClick(content, Qt::LeftButton, {}, content->rect().center());
    });
    clicker.start(100);

    // Each entry's moment, and Stop just after the second pass begins.
    struct Navigation {
        int row;
        qint64 atMs;
        QString shownBefore; // what the previous entry left on screen
    };
    QList<Navigation> navigations;
    connect(w.form.lstPlayList, &QListWidget::currentRowChanged, this, [&](int row) {
        navigations << Navigation{row, server_.elapsedMs(),
                                  w.browser().isShowingCard() ? QStringLiteral("card") : w.page().title()};
        if (row == 0 && navigations.size() > 1)
            QTimer::singleShot(0, &w.form, [&] { w.form.stop_button_Click(); });
    });
    const int requestsBefore = server_.requests().size();

    w.form.start_button_Click();

    // The run ended on Stop, after one whole pass.
    QCOMPARE(w.form.PassCount, 1);
    QCOMPARE(w.form.StopFlag, QStringLiteral("Y"));
    QVERIFY(w.form.txt_interval->isEnabled());
    QVERIFY2(watch.seen.isEmpty(), qPrintable(watch.seen.join(QLatin1String(", "))));
    QVERIFY(w.fakes.messages.shown.isEmpty());
    QVERIFY(w.form.isVisible() && !w.form.isFullScreen());
    QVERIFY(!w.browser().view()->isFullScreen());

    // Every entry in order, one dwell apart.
    const int n = int(entries.size());
    QVERIFY(navigations.size() >= n + 1);
    for (int row = 0; row <= n; ++row)
        QCOMPARE(navigations[row].row, row % n);
    QStringList gaps;
    for (int row = 1; row <= n; ++row) {
        const qint64 gap = navigations[row].atMs - navigations[row - 1].atMs;
        gaps << QString::number(gap);
        QVERIFY2(gap >= 1800 && gap <= 2200,
                 qPrintable(QStringLiteral("entry %1 held for %2 ms").arg(row - 1).arg(gap)));
        if (!entries[row - 1].shows.isEmpty())
            QCOMPARE(navigations[row].shownBefore, entries[row - 1].shows);
    }
    qInfo("gaps (ms): %s; from the misbehaving pages on: %s; longest stall %lld ms", qPrintable(gaps.join(' ')),
          qPrintable(gaps.mid(firstHolding).join(' ')), longestStallMs);
    QVERIFY2(longestStallMs < 50, qPrintable(QString::number(longestStallMs)));

    // Each entry the server answers was asked for once, in its own slot.
    const QList<PageServer::Request> requests = server_.requests().mid(requestsBefore);
    const qint64 secondPassAt = navigations[n].atMs;
    for (int row = 0; row < n; ++row) {
        if (entries[row].pathAsRequested.isEmpty())
            continue;
        QList<qint64> times;
        for (const PageServer::Request& request : requests)
            if (request.path == entries[row].pathAsRequested && request.receivedMs < secondPassAt)
                times << request.receivedMs;
        QVERIFY2(entries[row].askedOnce ? times.size() == 1 : !times.isEmpty(),
                 qPrintable(QStringLiteral("row %1 asked %2 times").arg(row).arg(times.size())));
        // A page that reloads itself may have one more reload in flight as the next entry
        // begins; its first request is the one the schedule made.
        for (qint64 time : entries[row].askedOnce ? times : times.mid(0, 1))
            QVERIFY2(time >= navigations[row].atMs && time < navigations[row + 1].atMs,
                     qPrintable(QStringLiteral("row %1 asked outside its slot").arg(row)));
    }

    // No pop-up was ever loaded, in a window or anywhere else.
    for (const PageServer::Request& request : requests)
        QVERIFY2(!request.path.startsWith(QLatin1String("/popup-target")), qPrintable(request.path));
    // The clicked page did get its pop-ups as far as the page to refuse them.
    QVERIFY(popupsAsked >= 1);
    QCOMPARE(w.form.findChildren<QWebEngineView*>().size(), w.browser().cardView() ? 2 : 1);

    // The redirect loop was followed a bounded number of times, within its slot.
    int loops = 0;
    for (const PageServer::Request& request : requests)
        if (request.path == QLatin1String("/loop.html?again"))
            ++loops;
    QVERIFY2(loops >= 1 && loops <= 25, qPrintable(QString::number(loops)));

    // Nothing was downloaded, and nothing was granted.
    QCOMPARE(downloads, QList<QWebEngineDownloadRequest::DownloadState>{QWebEngineDownloadRequest::DownloadCancelled});
    QStringList shortTitles;
    for (const QString& title : titles)
        shortTitles << title.left(60);
    QVERIFY2(titles.contains(QStringLiteral("geo:refused notify:denied media:refused")),
             qPrintable(shortTitles.join(QLatin1String(" | "))));
    QVERIFY2(titles.contains(QStringLiteral("dialogs clicked")), "the click reached the dialogs page");
    QVERIFY2(titles.contains(QStringLiteral("popups clicked")), "the click reached the pop-ups page");
    QVERIFY2(titles.contains(QStringLiteral("list script ran")), "the javascript: entry ran in the page on screen");

    // The non-ASCII host reached the server in its ASCII form.
    bool idnSeen = false;
    for (const PageServer::Request& request : requests)
        if (request.path.startsWith(QLatin1String("/idn.html")))
            idnSeen = request.host.startsWith(QLatin1String("xn--bcher-kva.localhost:"));
    QVERIFY(idnSeen);

    // The self-signed server was reached in its slot, and its certificate refused before
    // any request was sent.
    if (withHttps) {
        QVERIFY(!secure.connections.isEmpty());
        const qint64 firstConnection = secure.connections.first() + secureClockOffset;
        QVERIFY2(firstConnection >= navigations[httpsRow].atMs - 50 && firstConnection < navigations[httpsRow + 1].atMs,
                 qPrintable(QString::number(firstConnection - navigations[httpsRow].atMs)));
        QVERIFY(secure.requests.isEmpty());
    }
}

void HostilePages::killedRendererComesBackAndTheRunGoesOn()
{
    RealWindow w;
    w.form.show();
    QVERIFY(w.startEngine());
    w.form.lstPlayList->addItems(
        {server_.url(QStringLiteral("/alive-a.html")), server_.url(QStringLiteral("/alive-b.html"))});
    // Two seconds, so the reload has time to finish within the dwell on a busy machine.
    w.form.txt_interval->setText(QStringLiteral("2"));
    WindowWatch watch(&w.form);

    // The first time the first page shows, its render process is killed.
    qint64 killed = 0;
    QString whyNotKilled;
    QList<bool> loads;
    QList<QWebEnginePage::RenderProcessTerminationStatus> ends;
    connect(&w.page(), &QWebEnginePage::renderProcessTerminated, this,
            [&](QWebEnginePage::RenderProcessTerminationStatus status, int) { ends << status; });
    connect(&w.page(), &QWebEnginePage::loadFinished, this, [&](bool ok) {
        loads << ok;
        if (killed != 0 || !ok || w.page().url().path() != QLatin1String("/alive-a.html"))
            return;
        const qint64 pid = w.page().renderProcessPid();
        if (!isEngineHelperOfThisProgram(pid)) {
            whyNotKilled = QStringLiteral("%1 is not a helper of this program").arg(pid);
            return;
        }
        killed = pid;
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    });
    const int before = server_.requests().size();

    w.form.start_button_Click();

    QVERIFY2(killed != 0, qPrintable(whyNotKilled));
    QCOMPARE(ends, QList<QWebEnginePage::RenderProcessTerminationStatus>{QWebEnginePage::KilledTerminationStatus});
    // The first page was loaded again within its dwell, then the run went on to the second.
    const QString a = QStringLiteral("/alive-a.html?") + kStamp;
    const QString b = QStringLiteral("/alive-b.html?") + kStamp;
    QCOMPARE(server_.paths().mid(before), (QStringList{a, a, b}));
    QVERIFY(loads.count(true) >= 3);
    QCOMPARE(w.form.PassCount, 1);
    QTRY_COMPARE(w.browser().view()->title(), QStringLiteral("b"));
    QVERIFY(w.page().renderProcessPid() != killed);
    QVERIFY(watch.seen.isEmpty());
}

void HostilePages::closingTheWindowMidDwellEndsTheProgramAtOnce()
{
#ifndef VELTRASE_HAVE_X11
    QSKIP("built without X11");
#else
    const QString xvfbProgram = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfbProgram.isEmpty())
        QSKIP("no Xvfb");
    // A private virtual screen with no window manager: the close request comes from
    // here, as a window manager's close button would send it.
    QProcess xvfb;
    xvfb.start(xvfbProgram, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                             QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                             QStringLiteral("tcp")});
    QVERIFY(xvfb.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(xvfb.canReadLine(), 10000);
    const QByteArray display = ":" + xvfb.readLine().trimmed();
    const auto endXvfb = qScopeGuard([&xvfb] {
        xvfb.terminate();
        xvfb.waitForFinished(5000);
    });

    const QString listPath = folder_.filePath(QStringLiteral("close.txt"));
    QFile list(listPath);
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write(server_.url(QStringLiteral("/alive-a.html")).toUtf8() + "\r\n"
               + server_.url(QStringLiteral("/alive-b.html")).toUtf8() + "\r\n");
    list.close();
    const int before = server_.requests().size();

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(display));
    // The kept browser profile goes here, not into the user's own.
    environment.insert(QStringLiteral("XDG_DATA_HOME"), folder_.path());
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VELTRASE_BINARY), {QStringLiteral("/f=") + listPath, QStringLiteral("/t=5")});
    QVERIFY(program.waitForStarted());
    const auto endProgram = qScopeGuard([&program] {
        program.kill();
        program.waitForFinished(5000);
    });

    // The first page has been asked for: the run is in its first five-second dwell.
    QTRY_VERIFY_WITH_TIMEOUT(server_.requests().size() > before, 30000);
    const QList<qint64> helpers = descendantProcesses(program.processId());
    QVERIFY2(!helpers.isEmpty(), "the browser engine runs in helper processes");
    // Into the dwell proper: the engine's start-up work for the first page is done.
    QTest::qWait(1500);

    QElapsedTimer sinceClose;
    sinceClose.start();
    QCOMPARE(askWindowsOfProcessToClose(display, program.processId()), 1);
    QVERIFY(program.waitForFinished(5000));
    const qint64 exitMs = sinceClose.elapsed();
    QVERIFY2(exitMs <= 1000, qPrintable(QStringLiteral("ended %1 ms after the close").arg(exitMs)));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(server_.requests().size() - before, 1);
    for (qint64 helper : helpers)
        QTRY_VERIFY2_WITH_TIMEOUT(!processIsAlive(helper), qPrintable(QString::number(helper)), 1000);
#endif
}

VELTRASE_WEBENGINE_TEST_MAIN(HostilePages)
#include "tst_hostile_pages.moc"
