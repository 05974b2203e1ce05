#include "playlist/playlist_format.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace Qt::StringLiterals;

// The playlist file's bytes and the entries they stand for.
class PlaylistFormat : public QObject {
    Q_OBJECT

private slots:
    void readsEntries_data();
    void readsEntries();
    void writesEntries();
    void eightBitFileKeepsEveryCharacter();
    void saveKeepsTheEncodingItWasReadIn_data();
    void saveKeepsTheEncodingItWasReadIn();
    void saveThenLoadGivesTheSameList();
};

void PlaylistFormat::readsEntries_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("abc, empty, abc and spaces") << QByteArray("abc\r\n\r\nabc  \r\n") << QStringList{"abc", "", "abc"};
    QTest::newRow("last line without a line end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("two line ends at the end") << QByteArray("a\r\n\r\n") << QStringList{"a", ""};
    QTest::newRow("line feeds alone") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("carriage returns alone") << QByteArray("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("LF then CR is two line ends") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("only spaces, leading spaces, tab")
        << QByteArray("   \r\n  x \ny\t ") << QStringList{"", "  x", "y\t"};
    QTest::newRow("byte-order mark skipped") << QByteArray("\xEF\xBB\xBFhttp://a\r\n") << QStringList{"http://a"};
    QTest::newRow("byte-order mark alone") << QByteArray("\xEF\xBB\xBF") << QStringList{};
    QTest::newRow("UTF-8") << QByteArray("caf\xC3\xA9 \xE2\x82\xAC") << QStringList{u"café €"_s};
    QTest::newRow("8-bit text") << QByteArray("caf\xE9 \x80") << QStringList{u"café €"_s};
    QTest::newRow("8-bit after a byte-order mark") << QByteArray("\xEF\xBB\xBF\xE9") << QStringList{u"é"_s};
    // Each line is read on its own: one stray 8-bit byte spoils no other line.
    QTest::newRow("UTF-8 lines and an 8-bit line")
        << QByteArray("caf\xC3\xA9\r\ncaf\xE9\n\xE2\x82\xAC") << QStringList{u"café"_s, u"café"_s, u"€"_s};
    // Each is invalid UTF-8, so the line is read as 8-bit text.
    QTest::newRow("overlong UTF-8") << QByteArray("\xC0\x80\xC3\xA9") << QStringList{u"À€Ã©"_s};
    QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << QStringList{u"í\u00A0€"_s};
    QTest::newRow("sequence cut off at the end") << QByteArray("a\r\n\xE2\x82") << QStringList{"a", u"â‚"_s};
}

void PlaylistFormat::readsEntries()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    QCOMPARE(playlistEntriesFromBytes(bytes), entries);
}

void PlaylistFormat::writesEntries()
{
    QCOMPARE(playlistBytesFromEntries({}), QByteArray());
    QCOMPARE(playlistBytesFromEntries({"a", "", "  b\t", u"é"_s}), QByteArray("a\r\n\r\n  b\t\r\n\xC3\xA9\r\n"));
}

// A playlist from an 8-bit Windows editor: no byte may become a substitute character,
// and a save must give back every byte.
void PlaylistFormat::eightBitFileKeepsEveryCharacter()
{
    QByteArray line;
    for (int byte = 0x20; byte <= 0xFF; ++byte)
        line += static_cast<char>(byte);
    const PlaylistContents read = playlistFromBytes(line + "\r\n");
    const QStringList& loaded = read.entries;

    QCOMPARE(loaded.size(), 1);
    const QString text = loaded.first();
    QCOMPARE(text.size(), line.size());
    QVERIFY(!text.contains(QChar::ReplacementCharacter));
    QCOMPARE(text.mid(0x80 - 0x20, 2), u"€\u0081"_s);
    QCOMPARE(text.at(0x9F - 0x20), QChar(u'Ÿ'));
    QCOMPARE(text.at(0xE9 - 0x20), QChar(u'é'));
    QCOMPARE(playlistBytesFromEntries(loaded, read.encoding), line + "\r\n");
}

void PlaylistFormat::saveKeepsTheEncodingItWasReadIn_data()
{
    QTest::addColumn<QByteArray>("read");
    QTest::addColumn<QString>("added");
    QTest::addColumn<QByteArray>("saved"); // empty: the bytes read

    QTest::newRow("UTF-8") << QByteArray("caf\xC3\xA9\r\n\xE2\x82\xAC\r\n") << "" << QByteArray();
    QTest::newRow("8-bit and ASCII") << QByteArray("http://a\r\ncaf\xE9\r\n") << "" << QByteArray();
    QTest::newRow("mixed, as UTF-8") << QByteArray("caf\xE9\r\ncaf\xC3\xA9\r\n") << ""
                                     << QByteArray("caf\xC3\xA9\r\ncaf\xC3\xA9\r\n");
    QTest::newRow("marked UTF-8, an 8-bit line")
        << QByteArray("\xEF\xBB\xBF\xE9\r\n") << "" << QByteArray("\xC3\xA9\r\n");
    QTest::newRow("8-bit gains one it has") << QByteArray("caf\xE9\r\n") << u"€"_s << QByteArray("caf\xE9\r\n\x80\r\n");
    QTest::newRow("8-bit gains one it lacks")
        << QByteArray("caf\xE9\r\n") << u"中"_s << QByteArray("caf\xC3\xA9\r\n\xE4\xB8\xAD\r\n");
    // In 8-bit text its bytes would open as UTF-8, as another entry.
    QTest::newRow("8-bit gains one read as UTF-8")
        << QByteArray("caf\xE9\r\n") << u"Ã©"_s << QByteArray("caf\xC3\xA9\r\n\xC3\x83\xC2\xA9\r\n");
    QTest::newRow("ASCII gains é") << QByteArray("http://a\r\n") << u"é"_s << QByteArray("http://a\r\n\xC3\xA9\r\n");
}

void PlaylistFormat::saveKeepsTheEncodingItWasReadIn()
{
    QFETCH(QByteArray, read);
    QFETCH(QString, added);
    QFETCH(QByteArray, saved);
    PlaylistContents list = playlistFromBytes(read);
    if (!added.isEmpty())
        list.entries << added;
    QCOMPARE(playlistBytesFromEntries(list.entries, list.encoding), saved.isEmpty() ? read : saved);
}

void PlaylistFormat::saveThenLoadGivesTheSameList()
{
    // Whatever an entry may hold; never a trailing space or a line end, which no way
    // into the playlist lets in.
    const QStringList pieces{" ",         "\t",       "a",    "/",         "?",         "#",
                             u"é€"_s,     u"中"_s,    u"😀"_s, u"\u00A0"_s, u"\uFEFF"_s, QString(QChar(0)),
                             u"\u2028"_s, u"\uFFFD"_s};
    QRandomGenerator random(20240305);
    for (int list = 0; list < 500; ++list) {
        QStringList entries;
        for (int count = random.bounded(12); count > 0; --count) {
            QString entry;
            for (int length = random.bounded(8); length > 0; --length)
                entry += pieces.at(random.bounded(pieces.size()));
            while (entry.endsWith(u' '))
                entry.chop(1);
            entries << entry;
        }
        // A first entry that begins with U+FEFF is read back as a byte-order mark: the
        // mark is invisible and no address starts with it.
        while (!entries.isEmpty() && entries.first().startsWith(QChar(0xFEFF)))
            entries.first().remove(0, 1);
        // Asked for 8-bit text every other time: a list the code page cannot hold must
        // still come back whole.
        const auto encoding = list % 2 ? PlaylistEncoding::Windows1252 : PlaylistEncoding::Utf8;
        QCOMPARE(playlistEntriesFromBytes(playlistBytesFromEntries(entries, encoding)), entries);
    }
}

QTEST_MAIN(PlaylistFormat)
#include "tst_playlist_format.moc"
