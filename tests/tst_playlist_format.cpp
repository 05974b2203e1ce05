#include "playlist/listed_pages.h"
#include "playlist/playlist_format.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// The playlist file's bytes, the entries they stand for, and the bytes they are saved as.
class PlaylistFormat : public QObject {
    Q_OBJECT

private slots:
    void readThenSaved_data();
    void readThenSaved();
    void saveThenLoadGivesTheSameList();
    void pageListedAtAnAddress_data();
    void pageListedAtAnAddress();
};

void PlaylistFormat::readThenSaved_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("added");    // one more entry before the save, if any
    QTest::addColumn<QByteArray>("saved"); // in the encoding the file was read in; empty: the bytes read

    QTest::newRow("empty file") << QByteArray() << QStringList{} << "" << QByteArray();
    QTest::newRow("every line end, the last none; ASCII gains é")
        << QByteArray("a\r\n\r\nb\nc\rd\n\re") << QStringList{"a", "", "b", "c", "d", "", "e"} << u"é"_s
        << QByteArray("a\r\n\r\nb\r\nc\r\nd\r\n\r\ne\r\n\xC3\xA9\r\n");
    QTest::newRow("only trailing spaces trimmed")
        << QByteArray("   \r\n  x \r\ny\t \r\n\r\n") << QStringList{"", "  x", "y\t", ""} << ""
        << QByteArray("\r\n  x\r\ny\t\r\n\r\n");
    // Each line is read on its own: one stray 8-bit byte spoils no other line.
    QTest::newRow("UTF-8 and 8-bit lines, saved as UTF-8")
        << QByteArray("caf\xC3\xA9\r\ncaf\xE9 \x80\n\xE2\x82\xAC") << QStringList{u"café"_s, u"café €"_s, u"€"_s} << ""
        << QByteArray("caf\xC3\xA9\r\ncaf\xC3\xA9 \xE2\x82\xAC\r\n\xE2\x82\xAC\r\n");
    QTest::newRow("byte-order mark skipped, an 8-bit line, saved as UTF-8")
        << QByteArray("\xEF\xBB\xBF\xE9\r\n") << QStringList{u"é"_s} << "" << QByteArray("\xC3\xA9\r\n");
    // Overlong, an encoded surrogate, cut off: invalid UTF-8, so 8-bit text.
    QTest::newRow("invalid UTF-8") << QByteArray("\xC0\x80\xC3\xA9\r\n\xED\xA0\x80\r\n\xE2\x82\r\n")
                                   << QStringList{u"À€Ã©"_s, u"í\u00A0€"_s, u"â‚"_s} << "" << QByteArray();
    // Even the code page's unassigned bytes come back.
    QTest::newRow("8-bit and ASCII, gains one it has")
        << QByteArray("http://a\r\ncaf\x81\x9F\xE9\r\n") << QStringList{"http://a", u"caf\u0081Ÿé"_s} << u"€"_s
        << QByteArray("http://a\r\ncaf\x81\x9F\xE9\r\n\x80\r\n");
    QTest::newRow("8-bit gains one it lacks") << QByteArray("caf\xE9\r\n") << QStringList{u"café"_s} << u"中"_s
                                              << QByteArray("caf\xC3\xA9\r\n\xE4\xB8\xAD\r\n");
    // As Notepad saves "Unicode" text, kept byte for byte; and the other byte order.
    QTest::newRow("UTF-16 little-endian")
        << QByteArray("\xFF\xFEh\0:\0\r\0\n\0\xE9\0\r\0\n\0", 16) << QStringList{"h:", u"é"_s} << "" << QByteArray();
    QTest::newRow("UTF-16 big-endian, odd byte, gains one")
        << QByteArray("\xFE\xFF\xFE\xFF\0x\0 \0 \0\ny", 13) << QStringList{u"\uFEFFx"_s, u"\uFFFD"_s} << u"中"_s
        << QByteArray("\xFE\xFF\xFE\xFF\0x\0\r\0\n\xFF\xFD\0\r\0\n\x4E\x2D\0\r\0\n", 22);
    // In 8-bit text its bytes would open as UTF-8, as another entry.
    QTest::newRow("8-bit gains one read as UTF-8") << QByteArray("caf\xE9\r\n") << QStringList{u"café"_s} << u"Ã©"_s
                                                   << QByteArray("caf\xC3\xA9\r\n\xC3\x83\xC2\xA9\r\n");
}

void PlaylistFormat::readThenSaved()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    QFETCH(QString, added);
    QFETCH(QByteArray, saved);
    PlaylistContents list = playlistFromBytes(bytes);
    QCOMPARE(list.entries, entries);
    if (!added.isEmpty())
        list.entries << added;
    QCOMPARE(playlistBytesFromEntries(list.entries, list.encoding), saved.isEmpty() ? bytes : saved);
}

// Whatever an entry may hold comes back, in either encoding asked for: two lists the code
// page holds, though the second's first entry would begin as a byte-order mark in 8-bit
// text, and one it cannot. Never a trailing space or a line end, which no way into the
// playlist lets in.
void PlaylistFormat::saveThenLoadGivesTheSameList()
{
    const QList<QStringList> lists{{"", " \ta/?#", u"é€\u00A0Ÿ"_s, QString(QChar(0)) + "\t"},
                                   {u"ï»¿é"_s, u"é"_s},
                                   {u"ÿþé"_s},
                                   {u"\uFEFFé"_s},
                                   {u"a\uFEFF中😀\u2028\uFFFD"_s}};
    for (const QStringList& entries : lists) {
        for (const auto encoding : {PlaylistEncoding::Windows1252, PlaylistEncoding::Utf8,
                                    PlaylistEncoding::Utf16LittleEndian, PlaylistEncoding::Utf16BigEndian})
            QCOMPARE(playlistEntriesFromBytes(playlistBytesFromEntries(entries, encoding)), entries);
    }
}

// An entry of a list read from a server, as a link on a page at the list's address:
// the page it names, empty for a blank entry, or - when it is left out.
void PlaylistFormat::pageListedAtAnAddress_data()
{
    QTest::addColumn<QString>("page");
    const QString at = "https://h.example/screens/";
    for (const auto& [entry, page] : std::initializer_list<std::pair<QString, QString>>{
             {"p2.html", at + "p2.html"},
             {"//cdn.example/x", "https://cdn.example/x"},
             {"  HTTP://Other.example/a b  ", "http://other.example/a%20b"},
             {"http://a/?q=\\x", "http://a/?q=%5Cx"},
             {"   ", ""}})
        QTest::newRow(qPrintable(entry)) << page;
    for (const char* entry : {"file:///etc/passwd", "~/x.html", "javascript:alert(1)", "data:text/html,<b>x",
                              "about:blank", "view-source:https://h.example/", "qrc:/x", "C:\\x.html",
                              "\\\\server\\share\\x.html", "/a\\b", "http:x", "ftp://h.example/x"})
        QTest::newRow(entry) << "-";
}

void PlaylistFormat::pageListedAtAnAddress()
{
    QFETCH(QString, page);
    const auto listed = pageListedAt(QUrl("https://h.example/screens/list.txt?k=1"), QTest::currentDataTag());
    QCOMPARE(listed.value_or("-"), page);
}

QTEST_MAIN(PlaylistFormat)
#include "tst_playlist_format.moc"
