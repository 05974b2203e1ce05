#include "app/form2.h"
#include "playlist/playlist_files.h"
#include "playlist/playlist_source.h"
#include "support/fake_platform.h"
#include "support/page_server.h"

#include <QListWidget>
#include <QtTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

// The playlist named at start, read again: a file that changes or empties, an address
// fetched over HTTP, what the user is told, and a run that follows it and saves it.
class PlaylistSourceTest : public QObject {
    Q_OBJECT

    PageServer server_;
    QTcpServer silent_; // takes connections and never answers
    QTemporaryDir folder_;

    // A gzip answer that unpacks to 64 MiB of "a" from some 64 KiB: qCompress's zlib stream
    // holds the raw deflate data a gzip member does, which ends in the CRC-32 and the size.
    static QString gzipBomb()
    {
        const QByteArray zlib = qCompress(QByteArray(64 << 20, 'a'), 9);
        const QByteArray gzip = QByteArray("\x1f\x8b\x08\0\0\0\0\0\0\x03", 10) + zlib.sliced(6, zlib.size() - 10)
            + QByteArray("\xc4\x3a\xe7\xd2\0\0\0\x04", 8);
        return QString::fromLatin1("HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: "
                                   + QByteArray::number(gzip.size()) + "\r\n\r\n" + gzip);
    }

    // The list at origin becomes text: the file's contents, or the server's answer (the
    // whole answer as it is, when it begins with a status line).
    void setSource(const QString& origin, const QString& text)
    {
        server_.removeRawAnswer(QUrl(origin).path());
        if (text.startsWith(u"HTTP/"))
            return server_.addRawAnswer(QUrl(origin).path(), text.toLatin1());
        if (PlaylistSource::isAddress(origin))
            return server_.addPage(QUrl(origin).path(), text.toUtf8());
        QFile file(origin);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size());
    }
    // Each reading after the source is set to each text: the new entries (@ for the
    // server), and after ! the entries left out, if told; = unchanged (over HTTP, by a
    // 304 answer); or ! and the reason the user is told, if told. Late, past 1.5 times
    // the limit.
    QStringList readings(const QString& origin, const QStringList& texts)
    {
        PlaylistSource source(origin, std::chrono::seconds(2));
        QStringList seen;
        for (const QString& text : texts) {
            setSource(origin, text);
            const QDeadlineTimer late(3000);
            const PlaylistSource::Reading reading = source.read();
            const QString told = reading.tell.section(u": "_s, 1).remove(QRegularExpression(R"(\.( The list.*)?$)"));
            if (reading.outcome == PlaylistSource::Reading::Outcome::Changed)
                seen << reading.entries.join(u'|').replace(server_.url({}), u"@"_s)
                        + (told.isEmpty() ? "" : " !" + told);
            else if (reading.outcome == PlaylistSource::Reading::Outcome::Unchanged)
                seen << (origin.startsWith(u'/') || server_.requests().last().status == 304 ? "=" : "= by a 200");
            else
                seen << u'!' + told;
            if (late.hasExpired())
                seen.last() += " late";
        }
        return seen;
    }

private slots:
    void initTestCase() { QVERIFY(server_.listen() && silent_.listen(QHostAddress::LocalHost) && folder_.isValid()); }

    void readingsOfAChangingSource()
    {
        // Emptied, most likely caught while written again: the list stays, and the reason
        // is told once, and again after a good reading.
        QCOMPARE(readings(folder_.filePath("list.txt"), {"a", "", "", "a", "", u"a\0b"_s}),
                 (QStringList{"a", "!it is empty", "!", "=", "!it is empty", "!it holds binary data, not text"}));
        QCOMPARE(readings(server_.url("/list.txt"), {"a\nb", "a\nb", "c"}), (QStringList{"@/a|@/b", "=", "@/c"}));
        // A list from a server names its pages and nothing of this machine or the browser's;
        // a login page, something huge or binary is no list.
        QCOMPARE(readings(server_.url("/screens/list.txt"),
                          {"p2.html\n/b.html?x\n//h/x\nHTTPS://s/\nfile:///etc/passwd\n~/x\njavascript:alert(1)\nc:\\x",
                           "p2.html\n/b.html?x\n//h/x\nHTTPS://s/\nfile:///etc/passwd\n~/x\njavascript:alert(1)\nc:\\x",
                           "about:blank\n\ndata:,a", " <!doctype html>", u"\0a"_s, QString(4 << 20, u'a') + u"\n"_s}),
                 (QStringList{"@/screens/p2.html|@/b.html?x|http://h/x|https://s/ !\"file:///etc/passwd\", \"~/x\", "
                              "\"javascript:alert(1)\" and 1 more",
                              "=", "!it names no http or https page, only \"about:blank\", \"data:,a\"",
                              "!the server answered with a web page, not a playlist", "!it holds binary data, not text",
                              "!the list is larger than 4 MiB"}));
        QCOMPARE(readings(server_.url("/login.html"), {"a"}),
                 QStringList{"!the server answered with a web page, not a playlist"});
        QCOMPARE(
            readings(server_.url("/raw.txt"),
                     {"HTTP/1.1 302 Found\r\nLocation: /raw.txt\r\nContent-Length: 0\r\n\r\n",
                      "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: 8\r\n\r\nnot gzip", gzipBomb()}),
            (QStringList{"!too many redirects", "!the server's compressed answer could not be unpacked",
                         "!the list is larger than 4 MiB"}));
        QCOMPARE(readings("http://127.0.0.1:1/list.txt", {"a"}), QStringList{"!connection refused"});
        QCOMPARE(readings(QStringLiteral("http://127.0.0.1:%1/").arg(silent_.serverPort()), {"a"}),
                 QStringList{"!no answer within 2 seconds"});
    }

    // A server's list at start: the list box holds the pages it names, and standard error
    // names the entries left out, as nobody may be there to read a message box.
    void listFromAServerAtStart()
    {
        server_.addPage("/start.txt", "p.html\nfile:///etc/passwd\n");
        QTemporaryFile said;
        const int terminal = ::dup(2);
        QVERIFY(said.open() && ::dup2(said.handle(), 2) == 2);
        FakePlatform fakes;
        form2 form(fakes.platform("/f=" + server_.url("/start.txt")));
        QVERIFY(::dup2(terminal, 2) == 2 && ::close(terminal) == 0);
        QVERIFY(form.lstPlayList->count() == 1 && form.lstPlayList->item(0)->text() == server_.url("/p.html"));
        QVERIFY(said.seek(0) && said.readAll().contains("left out: \"file:///etc/passwd\"."));
    }

    // Missing at start: nobody may be there to answer "Please enter at least one URL", so
    // the run waits, reading the list every pass. Save asks where, as the list may have
    // come from an address, which cannot be written to.
    void runWaitsForTheFollowedListAndSavesItAsShown()
    {
        const QString origin = folder_.filePath("followed.txt"), saved = folder_.filePath("saved.txt");
        FakePlatform fakes;
        fakes.options = {.cache = true, .fullScreen = true, .follow = true};
        form2 form(fakes.platform("/f=" + origin + " /t=1"));
        fakes.pump.at(1500, [&] { setSource(origin, "http://c/"); });
        fakes.browser->onNavigate = [&](const QString&) { form.stop_button_Click(); };
        fakes.pump.at(5000, [&] { form.stop_button_Click(); }); // a run that never shows it ends too
        form.show();
        QTRY_COMPARE(fakes.browser->navigations, QStringList{"http://c/"});
        // Meanwhile the screen said why it showed nothing.
        QVERIFY(fakes.browser->cards.size() == 1 && fakes.browser->cards[0].contains("there is no such file"));
        fakes.dialogs.setNextFileName(saved);
        form.Save_Click();
        form.cmdSave_Click(); // cancelled: nothing is written anywhere
        QVERIFY(fakes.dialogs.saves == 2 && fakes.messages.shown.isEmpty());
        QCOMPARE(readPlaylistFile(saved).entries, QStringList{"http://c/"});
    }
};

QTEST_MAIN(PlaylistSourceTest)
#include "tst_playlist_source.moc"
