#include "app/form2.h"
#include "playlist/playlist_source.h"
#include "support/fake_platform.h"
#include "support/page_server.h"

#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace std::chrono_literals;

// The playlist named at start, read again: a file that changes, vanishes or empties,
// an address fetched over HTTP, what the user is told, and a run that follows it.
class PlaylistSourceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void readingsOfAChangingSource_data();
    void readingsOfAChangingSource();
    void runShowsTheChangedListFromTheNextPass_data();
    void runShowsTheChangedListFromTheNextPass();
    void saveAsksForAFileWhenTheListCameFromAnAddress();

private:
    QString newOrigin(const QString& kind);
    // Puts the source in the state a step names: a playlist's text, or <gone>,
    // <folder>, <500>, <silent>.
    void setSource(const QString& origin, const QString& step);

    PageServer server_;
    QTemporaryDir folder_;
    int origins_ = 0;
};

void PlaylistSourceTest::initTestCase()
{
    QVERIFY(server_.listen());
    QVERIFY(folder_.isValid());
}

QString PlaylistSourceTest::newOrigin(const QString& kind)
{
    const QString name = QStringLiteral("/list%1.txt").arg(++origins_);
    if (kind == QLatin1String("file"))
        return folder_.path() + name;
    // Nothing listens on port 1 of the loopback.
    return kind == QLatin1String("address") ? server_.url(name) : QStringLiteral("http://127.0.0.1:1") + name;
}

void PlaylistSourceTest::setSource(const QString& origin, const QString& step)
{
    if (PlaylistSource::isAddress(origin)) {
        const QString path = QUrl(origin).path();
        server_.removeRawAnswer(path);
        if (step == QLatin1String("<500>"))
            server_.addRawAnswer(path, "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        else if (step == QLatin1String("<silent>"))
            server_.addRawAnswer(path, "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", 60000);
        else
            server_.addPage(path, step.toUtf8());
        return;
    }
    QFile::remove(origin);
    QDir().rmdir(origin);
    if (step == QLatin1String("<folder>")) {
        QVERIFY(QDir().mkdir(origin));
    } else if (step != QLatin1String("<gone>")) {
        QFile file(origin);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(step.toUtf8());
    }
}

void PlaylistSourceTest::readingsOfAChangingSource_data()
{
    // C: the new entries; U: unchanged (over HTTP, a 304 answer); F:words: failed and
    // told so, in words that hold these; f: failed again, not told again.
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("expected");
    const auto row = [](const char* name, const char* kind, const QStringList& steps, const QStringList& expected) {
        QTest::newRow(name) << QString::fromLatin1(kind) << steps << expected;
    };
    row("file: changes taken", "file", {"a\nb", "a\nb", "c"}, {"C", "U", "C"});
    row("file: vanished keeps the list, told once", "file", {"a", "<gone>", "<gone>", "a"},
        {"C", "F:there is no such file. The list stays", "f", "U"});
    row("file: emptied keeps the list, told once", "file", {"a", "", "", "b"}, {"C", "F:it is empty", "f", "C"});
    row("file: a folder in its place", "file", {"a", "<folder>", "<folder>"}, {"C", "F:folder", "f"});
    row("file: each new reason told", "file", {"a", "", "<gone>", "a", "<gone>"},
        {"C", "F:empty", "F:no such file", "U", "F:no such file"});
    row("file: missing at first, taken when it comes", "file", {"<gone>", "a"}, {"F:could not be read: there is", "C"});
    row("address: fetched, then 304 while unchanged", "address", {"a\nb", "a\nb", "c", "c"}, {"C", "U", "C", "U"});
    row("address: server error keeps the last good list", "address", {"a", "<500>", "<500>", "a"},
        {"C", "F:the server answered 500 Internal Server Error", "f", "U"});
    row("address: no answer in time", "address", {"a", "<silent>"}, {"C", "F:no answer within 2 seconds"});
    row("address: empty answer", "address", {"a", ""}, {"C", "F:it is empty"});
    row("address: connection refused", "refused", {"a"}, {"F:connection refused"});
}

void PlaylistSourceTest::readingsOfAChangingSource()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, expected);
    const QString origin = newOrigin(kind);
    PlaylistSource source(origin, 2s);
    QStringList seen;
    for (qsizetype step = 0; step < steps.size(); ++step) {
        setSource(origin, steps.at(step));
        const PlaylistSource::Reading reading = source.read();
        const QString want = expected.value(step);
        using Outcome = PlaylistSource::Reading::Outcome;
        if (reading.outcome == Outcome::Changed)
            seen << (reading.entries == steps.at(step).split(u'\n') ? QStringLiteral("C") : reading.entries.join(u'|'));
        else if (reading.outcome == Outcome::Unchanged)
            seen << (kind == QLatin1String("file") || server_.requests().last().status == 304 ? QStringLiteral("U")
                                                                                              : QStringLiteral("U, no 304"));
        else if (reading.tell.isEmpty())
            seen << QStringLiteral("f");
        else
            seen << (want.startsWith(QLatin1String("F:")) && reading.tell.contains(want.mid(2)) && reading.tell.contains(origin)
                         ? want
                         : reading.tell);
    }
    QCOMPARE(seen, expected);
}

void PlaylistSourceTest::runShowsTheChangedListFromTheNextPass_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("then"); // during the second page's dwell
    QTest::addColumn<QStringList>("navigated");
    QTest::addColumn<QStringList>("listed");
    const QString abText = QStringLiteral("http://a/\nhttp://b/");
    const QStringList ab{QStringLiteral("http://a/"), QStringLiteral("http://b/")};
    const QStringList a = ab.mid(0, 1), c{QStringLiteral("http://c/")};
    QTest::newRow("file changed") << "file" << abText << "http://c/" << ab + c << c;
    QTest::newRow("file vanished") << "file" << abText << "<gone>" << ab + a << ab;
    // Nobody may be there to answer "Please enter at least one URL": the run waits for it.
    QTest::newRow("file missing at start") << "file" << "<gone>" << "http://c/" << c << c;
    QTest::newRow("address changed") << "address" << abText << "http://c/" << ab + c << c;
    QTest::newRow("address answers 500") << "address" << abText << "<500>" << ab + a << ab;
}

void PlaylistSourceTest::runShowsTheChangedListFromTheNextPass()
{
    QFETCH(QString, kind);
    QFETCH(QString, first);
    QFETCH(QString, then);
    QFETCH(QStringList, navigated);
    QFETCH(QStringList, listed);
    const QString origin = newOrigin(kind);
    setSource(origin, first);
    FakePlatform fakes;
    fakes.options.follow = true;
    fakes.options.cache = true;
    form2 form(fakes.platform(QStringLiteral("/f=") + origin + QStringLiteral(" /t=1")));
    fakes.pump.at(1500, [&] { setSource(origin, then); });
    fakes.browser->onNavigate = [&](const QString&) {
        if (fakes.browser->navigations.size() == navigated.size())
            form.stop_button_Click();
    };
    form.show();
    QTRY_COMPARE(fakes.browser->navigations, navigated);
    QStringList shown;
    for (int row = 0; row < form.lstPlayList->count(); ++row)
        shown << form.lstPlayList->item(row)->text();
    QCOMPARE(shown, listed);
    QVERIFY(fakes.messages.shown.isEmpty());
}

void PlaylistSourceTest::saveAsksForAFileWhenTheListCameFromAnAddress()
{
    const QString origin = newOrigin(QStringLiteral("address"));
    setSource(origin, QStringLiteral("http://a/"));
    FakePlatform fakes;
    form2 form(fakes.platform(QStringLiteral("/f=") + origin));
    const QString saved = folder_.filePath(QStringLiteral("saved.txt"));
    fakes.dialogs.setNextFileName(saved);
    form.Save_Click();
    form.cmdSave_Click(); // cancelled: nothing is written anywhere
    QCOMPARE(fakes.dialogs.saves, 2);
    QVERIFY(fakes.messages.shown.isEmpty());
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("http://a/\r\n"));
}

QTEST_MAIN(PlaylistSourceTest)
#include "tst_playlist_source.moc"
