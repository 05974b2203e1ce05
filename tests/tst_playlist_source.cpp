#include "app/form2.h"
#include "playlist/playlist_source.h"
#include "support/fake_platform.h"
#include "support/page_server.h"

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

    void readingsOfAChangingSource()
    {
        // C: the new entries; U: unchanged (over HTTP, a 304 answer); F:words: failed and
        // told so, in words that hold these; f: failed again, not told again.
        const struct {
            QString kind;
            QStringList steps, expected;
        } rows[] = {
            // Emptied: the list stays, and it is told once.
            {"file", {"a", "", "", "b"}, {"C", "F:it is empty", "f", "C"}},
            // Each new reason is told, and told again after a good reading.
            {"file",
             {"a", "", "<gone>", "<gone>", "a", "<gone>"},
             {"C", "F:empty", "F:there is no such file. The list stays", "f", "U", "F:no such file"}},
            {"address", {"a\nb", "a\nb", "c", "c"}, {"C", "U", "C", "U"}},
            {"address", {"a", "<silent>"}, {"C", "F:no answer within 2 seconds"}},
            {"refused", {"a"}, {"F:connection refused"}},
        };
        for (const auto& row : rows) {
            const QString origin = newOrigin(row.kind);
            PlaylistSource source(origin, 2s);
            QStringList seen;
            for (const QString& step : row.steps) {
                setSource(origin, step);
                const PlaylistSource::Reading reading = source.read();
                const QString want = row.expected.value(seen.size());
                QString got = QStringLiteral("f");
                if (reading.outcome == PlaylistSource::Reading::Outcome::Changed)
                    got = reading.entries == step.split(u'\n') ? QStringLiteral("C") : reading.entries.join(u'|');
                else if (reading.outcome == PlaylistSource::Reading::Outcome::Unchanged)
                    got = row.kind == "file" || server_.requests().last().status == 304 ? "U" : "U, no 304";
                else if (!reading.tell.isEmpty())
                    got = want.startsWith(u'F') && reading.tell.contains(want.mid(2)) && reading.tell.contains(origin)
                        ? want
                        : reading.tell;
                seen << got;
            }
            QCOMPARE(seen, row.expected);
        }
    }

    // The list changes to c during the second page's dwell; the run shows it from the
    // next pass, and Save asks where, wherever the list came from: an address cannot be
    // written to.
    void runShowsTheChangedListFromTheNextPassAndSavesItAsShown()
    {
        const QString ab = QStringLiteral("http://a/\nhttp://b/");
        const QStringList abc{"http://a/", "http://b/", "http://c/"};
        const struct {
            QString kind, first;
            QStringList navigated;
        } rows[] = {
            {"file", ab, abc},
            // Nobody may be there to answer "Please enter at least one URL": the run waits for it.
            {"file", "<gone>", {"http://c/"}},
            {"address", ab, abc},
        };
        for (const auto& row : rows) {
            const QString origin = newOrigin(row.kind);
            setSource(origin, row.first);
            FakePlatform fakes;
            fakes.options.follow = true;
            fakes.options.cache = true;
            form2 form(fakes.platform(QStringLiteral("/f=") + origin + QStringLiteral(" /t=1")));
            fakes.pump.at(1500, [&] { setSource(origin, QStringLiteral("http://c/")); });
            fakes.browser->onNavigate = [&](const QString&) {
                if (fakes.browser->navigations.size() == row.navigated.size())
                    form.stop_button_Click();
            };
            form.show();
            QTRY_COMPARE(fakes.browser->navigations, row.navigated);

            const QString saved = folder_.filePath(QStringLiteral("saved%1").arg(origins_));
            fakes.dialogs.setNextFileName(saved);
            form.Save_Click();
            form.cmdSave_Click(); // cancelled: nothing is written anywhere
            QCOMPARE(fakes.dialogs.saves, 2);
            QVERIFY(fakes.messages.shown.isEmpty());
            QFile file(saved);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), "http://c/\r\n");
        }
    }
};

QTEST_MAIN(PlaylistSourceTest)
#include "tst_playlist_source.moc"
