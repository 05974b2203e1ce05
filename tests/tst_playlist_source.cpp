#include "app/form2.h"
#include "playlist/playlist_files.h"
#include "playlist/playlist_source.h"
#include "support/fake_platform.h"
#include "support/page_server.h"

#include <QtTest>

// The playlist named at start, read again: a file that changes or empties, an address
// fetched over HTTP, what the user is told, and a run that follows it and saves it.
class PlaylistSourceTest : public QObject {
    Q_OBJECT

    PageServer server_;
    QTcpServer silent_; // takes connections and never answers
    QTemporaryDir folder_;

    // The list at origin becomes text: the file's contents, or the server's answer.
    void setSource(const QString& origin, const QString& text)
    {
        if (PlaylistSource::isAddress(origin))
            return server_.addPage(QUrl(origin).path(), text.toUtf8());
        QFile file(origin);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size());
    }
    // Each reading after the source is set to each text: the new entries; = unchanged
    // (over HTTP, by a 304 answer); or ! and the reason the user is told, if told.
    QStringList readings(const QString& origin, const QStringList& texts)
    {
        PlaylistSource source(origin, std::chrono::seconds(2));
        QStringList seen;
        for (const QString& text : texts) {
            setSource(origin, text);
            const PlaylistSource::Reading reading = source.read();
            if (reading.outcome == PlaylistSource::Reading::Outcome::Changed)
                seen << reading.entries.join(u'|');
            else if (reading.outcome == PlaylistSource::Reading::Outcome::Unchanged)
                seen << (origin.startsWith(u'/') || server_.requests().last().status == 304 ? "=" : "= by a 200");
            else
                seen << u'!' + reading.tell.section(u':', -1).section(u'.', 0, 0).trimmed();
        }
        return seen;
    }

private slots:
    void initTestCase() { QVERIFY(server_.listen() && silent_.listen(QHostAddress::LocalHost) && folder_.isValid()); }

    void readingsOfAChangingSource()
    {
        // Emptied, most likely caught while written again: the list stays, and the reason
        // is told once, and again after a good reading.
        QCOMPARE(readings(folder_.filePath("list.txt"), {"a", "", "", "a", ""}),
                 (QStringList{"a", "!it is empty", "!", "=", "!it is empty"}));
        QCOMPARE(readings(server_.url("/list.txt"), {"a\nb", "a\nb", "c"}), (QStringList{"a|b", "=", "c"}));
        QCOMPARE(readings("http://127.0.0.1:1/list.txt", {"a"}), QStringList{"!connection refused"});
        QCOMPARE(readings(QStringLiteral("http://127.0.0.1:%1/").arg(silent_.serverPort()), {"a"}),
                 QStringList{"!no answer within 2 seconds"});
    }

    // Missing at start: nobody may be there to answer "Please enter at least one URL", so
    // the run waits, reading the list every pass. Save asks where, as the list may have
    // come from an address, which cannot be written to.
    void runWaitsForTheFollowedListAndSavesItAsShown()
    {
        const QString origin = folder_.filePath("followed.txt"), saved = folder_.filePath("saved.txt");
        FakePlatform fakes;
        fakes.options = {.cache = true, .follow = true};
        form2 form(fakes.platform("/f=" + origin + " /t=1"));
        fakes.pump.at(1500, [&] { setSource(origin, "http://c/"); });
        fakes.browser->onNavigate = [&](const QString&) { form.stop_button_Click(); };
        fakes.pump.at(5000, [&] { form.stop_button_Click(); }); // a run that never shows it ends too
        form.show();
        QTRY_COMPARE(fakes.browser->navigations, QStringList{"http://c/"});
        fakes.dialogs.setNextFileName(saved);
        form.Save_Click();
        form.cmdSave_Click(); // cancelled: nothing is written anywhere
        QVERIFY(fakes.dialogs.saves == 2 && fakes.messages.shown.isEmpty());
        QCOMPARE(readPlaylistFile(saved).entries, QStringList{"http://c/"});
    }
};

QTEST_MAIN(PlaylistSourceTest)
#include "tst_playlist_source.moc"
