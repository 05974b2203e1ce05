#include "app/form2.h"
#include "playlist/playlist_source.h"
#include "support/fake_platform.h"
#include "support/page_server.h"

#include <QListWidget>
#include <QtTest>

using namespace std::chrono_literals;

// The playlist named at start, read again: a file that changes, vanishes or empties,
// an address fetched over HTTP, what the user is told, and a run that follows it
// and saves what it shows.
class PlaylistSourceTest : public QObject {
    Q_OBJECT

    PageServer server_;
    QTemporaryDir folder_;
    int origins_ = 0;

    // A file, an address of the server, or one where nothing listens (port 1).
    QString newOrigin(const QString& kind)
    {
        const QString name = QStringLiteral("/list%1.txt").arg(++origins_);
        if (kind == QLatin1String("file"))
            return folder_.path() + name;
        return (kind == QLatin1String("address") ? server_.url({}) : QStringLiteral("http://127.0.0.1:1")) + name;
    }
    // Puts the source in the state a step names: a playlist's text, <gone>, or <silent>
    // (an address that answers too late).
    void setSource(const QString& origin, const QString& step)
    {
        if (PlaylistSource::isAddress(origin)) {
            const QString path = QUrl(origin).path();
            server_.removeRawAnswer(path);
            if (step == QLatin1String("<silent>"))
                server_.addRawAnswer(path, "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", 60000);
            else
                server_.addPage(path, step.toUtf8());
            return;
        }
        QFile file(origin);
        file.remove();
        if (step != QLatin1String("<gone>"))
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(step.toUtf8()) == step.toUtf8().size());
    }

private slots:
    void initTestCase() { QVERIFY(server_.listen() && folder_.isValid()); }

    void readingsOfAChangingSource_data()
    {
        // C: the new entries; U: unchanged (over HTTP, a 304 answer); F:words: failed and
        // told so, in words that hold these; f: failed again, not told again.
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const char* name, const char* kind, const QStringList& steps, const QStringList& expected) {
            QTest::newRow(name) << QString::fromLatin1(kind) << steps << expected;
        };
        row("file: emptied keeps the list, told once", "file", {"a", "", "", "b"}, {"C", "F:it is empty", "f", "C"});
        row("file: each new reason told", "file", {"a", "", "<gone>", "<gone>", "a", "<gone>"},
            {"C", "F:empty", "F:there is no such file. The list stays", "f", "U", "F:no such file"});
        row("address: fetched, then 304 while unchanged", "address", {"a\nb", "a\nb", "c", "c"}, {"C", "U", "C", "U"});
        row("address: no answer in time", "address", {"a", "<silent>"}, {"C", "F:no answer within 2 seconds"});
        row("address: connection refused", "refused", {"a"}, {"F:connection refused"});
    }
    void readingsOfAChangingSource()
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
                seen << (reading.entries == steps.at(step).split(u'\n') ? QStringLiteral("C")
                                                                        : reading.entries.join(u'|'));
            else if (reading.outcome == Outcome::Unchanged)
                seen << (kind == QLatin1String("file") || server_.requests().last().status == 304
                             ? QStringLiteral("U")
                             : QStringLiteral("U, no 304"));
            else
                seen << (reading.tell.isEmpty() ? QStringLiteral("f")
                             : reading.tell.contains(want.mid(2)) && reading.tell.contains(origin)
                                 && want.startsWith(u'F')
                             ? want
                             : reading.tell);
        }
        QCOMPARE(seen, expected);
    }

    void runShowsTheChangedListFromTheNextPassAndSavesItAsShown_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QStringList>("navigated"); // the list changes to c during the second page's dwell
        const QString ab = QStringLiteral("http://a/\nhttp://b/");
        QTest::newRow("file changed") << "file" << ab << QStringList{"http://a/", "http://b/", "http://c/"};
        // Nobody may be there to answer "Please enter at least one URL": the run waits for it.
        QTest::newRow("file missing at start") << "file"
                                               << "<gone>" << QStringList{"http://c/"};
        QTest::newRow("address changed") << "address" << ab << QStringList{"http://a/", "http://b/", "http://c/"};
    }
    void runShowsTheChangedListFromTheNextPassAndSavesItAsShown()
    {
        QFETCH(QString, kind);
        QFETCH(QString, first);
        QFETCH(QStringList, navigated);
        const QString origin = newOrigin(kind);
        setSource(origin, first);
        FakePlatform fakes;
        fakes.options.follow = true;
        fakes.options.cache = true;
        form2 form(fakes.platform(QStringLiteral("/f=") + origin + QStringLiteral(" /t=1")));
        fakes.pump.at(1500, [&] { setSource(origin, QStringLiteral("http://c/")); });
        fakes.browser->onNavigate = [&](const QString&) {
            if (fakes.browser->navigations.size() == navigated.size())
                form.stop_button_Click();
        };
        form.show();
        QTRY_COMPARE(fakes.browser->navigations, navigated);
        QCOMPARE(form.lstPlayList->count(), 1);

        // Save asks where, wherever the list came from: an address cannot be written to.
        const QString saved = folder_.filePath(QString::fromLatin1(QTest::currentDataTag()));
        fakes.dialogs.setNextFileName(saved);
        form.Save_Click();
        form.cmdSave_Click(); // cancelled: nothing is written anywhere
        QCOMPARE(fakes.dialogs.saves, 2);
        QVERIFY(fakes.messages.shown.isEmpty());
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), "http://c/\r\n");
    }
};

QTEST_MAIN(PlaylistSourceTest)
#include "tst_playlist_source.moc"
