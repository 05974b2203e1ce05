#include "app/command_line.h"
#include "app/form2.h"
#include "playlist/playlist_capacity.h"
#include "playlist/playlist_files.h"
#include "playlist/playlist_format.h"
#include "support/fake_platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

// The parsers that read what comes from outside, the playlist file and the command line,
// under many generated inputs; and odd or huge playlist files opened through the window.
class ParserProperties : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void savedPlaylistOpensAsTheSameList();
    void anyBytesOpenAsLines();
    void commandLineFindsEachValueAfterItsOption();
    void commandLineValuesNeverCarryTheirEnd();
    void oddPlaylistFilesOpenQuicklyOrSayWhy_data();
    void oddPlaylistFilesOpenQuicklyOrSayWhy();

private:
    QTemporaryDir folder_;
};

namespace {

// Fixed, so that a failure comes back the same on every run.
constexpr quint32 kSeed = 20240305;
constexpr int kCases = 2000;

// Pieces that meet the readers' edge cases: spaces at either end, tabs, the byte-order
// mark, NUL, characters outside the first plane, the line ends of every desktop, the
// Windows code page's bytes, the stamp's "?" and "#", and the option markers.
const QStringList kEntryPieces = {
    QStringLiteral("http://127.0.0.1:8000/a.html"), QStringLiteral("example.com"), QStringLiteral(" "),
    QStringLiteral("  "), QStringLiteral("\t"), QStringLiteral("?"), QStringLiteral("#top"), QStringLiteral("&"),
    QStringLiteral("/opt/my pages/"), QStringLiteral("bücher"), QStringLiteral("例え"), QStringLiteral("😀"),
    QString(QChar(0xFEFF)), QString(QChar(0)), QStringLiteral("é€"), QStringLiteral(" /t=5"), QStringLiteral("%20"),
    QString(QChar(0x2028)), QString(QChar(0xFFFD)),
};

QString pick(QRandomGenerator& random, const QStringList& pieces)
{
    return pieces.at(random.bounded(int(pieces.size())));
}

QString randomEntry(QRandomGenerator& random)
{
    QString entry;
    const int pieces = random.bounded(6);
    for (int i = 0; i < pieces; ++i)
        entry += pick(random, kEntryPieces);
    // What the list holds: every way into it right-trims, and a line end would split it.
    while (entry.endsWith(QLatin1Char(' ')))
        entry.chop(1);
    return entry;
}

QStringList randomPlaylist(QRandomGenerator& random)
{
    QStringList entries;
    const int count = random.bounded(12);
    for (int i = 0; i < count; ++i)
        entries << randomEntry(random);
    // A first entry that begins with U+FEFF is read back as a byte-order mark: the mark
    // is invisible and no address starts with it, so such a list is not made here.
    while (!entries.isEmpty() && entries.first().startsWith(QChar(0xFEFF)))
        entries.first().remove(0, 1);
    return entries;
}

QByteArray randomBytes(QRandomGenerator& random, qsizetype size)
{
    // Mostly bytes that mean something to the reader, some of anything.
    static const QByteArray meaningful("\r\n \t\0\xEF\xBB\xBF\xC3\xA9\xE2\x82\xAC\x80\x9F\xFF/?#", 21);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = random.bounded(2) ? meaningful.at(random.bounded(int(meaningful.size())))
                                 : char(random.bounded(256));
    return bytes;
}

QString describe(const QStringList& entries)
{
    QStringList shown;
    for (const QString& entry : entries)
        shown << QString::fromLatin1(entry.toUtf8().toPercentEncoding(" /:?#&"));
    return shown.join(QLatin1String(" | "));
}

} // namespace

void ParserProperties::initTestCase()
{
    QVERIFY(folder_.isValid());
}

void ParserProperties::savedPlaylistOpensAsTheSameList()
{
    QRandomGenerator random(kSeed);
    for (int i = 0; i < kCases; ++i) {
        const QStringList entries = randomPlaylist(random);
        const QStringList opened = playlistEntriesFromBytes(playlistBytesFromEntries(entries));
        QVERIFY2(opened == entries, qPrintable(describe(entries) + QLatin1String("  ->  ") + describe(opened)));
    }
    // Through a real file too, replacing the one before each time, asked for 8-bit text
    // every other time: a list the code page cannot hold must still come back whole.
    const QString path = folder_.filePath(QStringLiteral("round trip.txt"));
    for (int i = 0; i < 50; ++i) {
        const QStringList entries = randomPlaylist(random);
        const auto encoding = i % 2 ? PlaylistEncoding::Windows1252 : PlaylistEncoding::Utf8;
        QCOMPARE(writePlaylistFile(path, entries, encoding), QString());
        const PlaylistFileRead read = readPlaylistFile(path);
        QCOMPARE(read.outcome, PlaylistFileRead::Outcome::Read);
        QVERIFY2(read.entries == entries, qPrintable(describe(entries)));
    }
}

void ParserProperties::anyBytesOpenAsLines()
{
    QRandomGenerator random(kSeed + 1);
    for (int i = 0; i < kCases; ++i) {
        const QByteArray bytes = randomBytes(random, random.bounded(200));
        const PlaylistContents read = playlistFromBytes(bytes);
        const QStringList& entries = read.entries;
        QVERIFY(entries.size() <= bytes.count('\r') + bytes.count('\n') + 1);
        for (const QString& entry : entries)
            QVERIFY2(!entry.contains(QLatin1Char('\r')) && !entry.contains(QLatin1Char('\n'))
                         && !entry.endsWith(QLatin1Char(' ')),
                     bytes.toHex().constData());
        // Saving what was opened as it was read and opening it again changes nothing more.
        QCOMPARE(playlistEntriesFromBytes(playlistBytesFromEntries(entries, read.encoding)), entries);
    }
}

void ParserProperties::commandLineFindsEachValueAfterItsOption()
{
    // Values as a kiosk's start-up line holds them: paths with blanks and slashes,
    // numbers, non-ASCII; never " /", which ends a value, nor another option's marker.
    const QStringList valuePieces = {
        QStringLiteral("/home/me/my lists/pages.txt"), QStringLiteral("a/b"), QStringLiteral("5"),
        QStringLiteral("2.5"), QStringLiteral("Y"), QStringLiteral("N"), QStringLiteral("bücher"),
        QStringLiteral("x y"), QStringLiteral("\t"), QStringLiteral("-"), QStringLiteral("=")};
    const QStringList markers = {QStringLiteral("/f="), QStringLiteral("/t="), QStringLiteral("/r=")};
    QRandomGenerator random(kSeed + 2);
    for (int i = 0; i < kCases; ++i) {
        QHash<QString, QString> values;
        QStringList order = markers;
        for (int j = int(order.size()) - 1; j > 0; --j)
            order.swapItemsAt(j, random.bounded(j + 1));
        QString text = QString(random.bounded(3), QLatin1Char(' '));
        for (const QString& marker : order) {
            if (random.bounded(4) == 0)
                continue;
            QString value;
            for (int k = random.bounded(4); k > 0; --k)
                value += pick(random, valuePieces);
            values.insert(marker, value);
            // Blanks before a value that begins with "/" would end it there.
            const int blanksBefore = value.startsWith(QLatin1Char('/')) ? 0 : random.bounded(3);
            text += marker + QString(blanksBefore, QLatin1Char(' ')) + value
                + QString(1 + random.bounded(3), QLatin1Char(' '));
        }
        const CommandLineOptions options = parseCommandLine(text);
        QCOMPARE(options.file, values.value(QStringLiteral("/f=")));
        QCOMPARE(options.interval, values.value(QStringLiteral("/t=")));
        QCOMPARE(options.random, values.value(QStringLiteral("/r=")));
    }
}

void ParserProperties::commandLineValuesNeverCarryTheirEnd()
{
    const QStringList pieces = {QStringLiteral("/f="), QStringLiteral("/t="), QStringLiteral("/r="),
                                QStringLiteral(" "), QStringLiteral("/"), QStringLiteral("="),
                                QStringLiteral("x"), QStringLiteral(" /x="), QStringLiteral("\t"),
                                QStringLiteral("/F="), QStringLiteral("ü")};
    QRandomGenerator random(kSeed + 3);
    for (int i = 0; i < kCases; ++i) {
        QString text;
        for (int k = random.bounded(16); k > 0; --k)
            text += pick(random, pieces);
        const CommandLineOptions options = parseCommandLine(text);
        for (const QString& value : {options.file, options.interval, options.random})
            QVERIFY2(!value.contains(QLatin1String(" /")) && !value.startsWith(QLatin1Char(' '))
                         && !value.endsWith(QLatin1Char(' ')) && text.contains(value),
                     qPrintable(QLatin1Char('[') + text + QLatin1String("] -> [") + value + QLatin1Char(']')));
    }
}

void ParserProperties::oddPlaylistFilesOpenQuicklyOrSayWhy_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("firstEntryStart");
    QTest::addColumn<QString>("message");

    QRandomGenerator random(kSeed + 4);
    QByteArray noise(1024 * 1024, Qt::Uninitialized);
    for (char& byte : noise)
        byte = char(random.bounded(256));
    QTest::newRow("1 MB of random bytes") << noise << int(playlistEntriesFromBytes(noise).size())
                                          << playlistEntriesFromBytes(noise).first().left(8) << QString();

    QTest::newRow("one 10 MB line") << QByteArray("http://example.com/?") + QByteArray(10 * 1024 * 1024, 'a') << 1
                                    << QStringLiteral("http://") << QString();

    QTest::newRow("NUL bytes") << QByteArray(64 * 1024, '\0') + "\r\nhttp://after.example/\r\n" << 2
                               << QString(8, QChar(0)) << QString();

    QByteArray lines;
    for (int line = 1; line <= 100000; ++line)
        lines += "http://127.0.0.1:8000/page" + QByteArray::number(line) + ".html\r\n";
    QTest::newRow("100,000 lines") << lines << kPlaylistCapacity << QStringLiteral("http://127.0.0.1:8000/page1.html")
                                   << QStringLiteral("has 100,000 lines, but a playlist holds at most 32,767 entries: "
                                                     "the first 32,767 were loaded and the last 67,233 were left out.");
}

void ParserProperties::oddPlaylistFilesOpenQuicklyOrSayWhy()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, entries);
    QFETCH(QString, firstEntryStart);
    QFETCH(QString, message);

    const QString path = folder_.filePath(QStringLiteral("odd.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
    file.close();

    FakePlatform fakes;
    form2 form(fakes.platform());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    fakes.dialogs.setNextFileName(path);

    // Opened, shown and painted, as the user would see it.
    QElapsedTimer timer;
    timer.start();
    form.cmdOpen_Click();
    form.lstPlayList->scrollToBottom();
    form.repaint();
    QCoreApplication::processEvents();
    const qint64 elapsed = timer.elapsed();

    QVERIFY2(elapsed < 1000, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    QCOMPARE(form.lstPlayList->count(), entries);
    QVERIFY(form.lstPlayList->item(0)->text().startsWith(firstEntryStart));
    if (message.isEmpty()) {
        QCOMPARE(fakes.messages.shown, QStringList());
    } else {
        QCOMPARE(fakes.messages.shown.size(), 1);
        QVERIFY2(fakes.messages.last().contains(message), qPrintable(fakes.messages.last()));
    }
}

QTEST_MAIN(ParserProperties)
#include "tst_parser_properties.moc"
