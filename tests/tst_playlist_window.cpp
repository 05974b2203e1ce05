#include "playlist/playlist_capacity.h"
#include "support/fake_window.h"

#include <QElapsedTimer>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>
#include <sys/mount.h>
#include <unistd.h>

// Editing, opening and saving the playlist through the window, on real files.
class PlaylistWindow : public QObject {
    Q_OBJECT

private slots:
    void addAndRemove();
    void dropsAppendOneEntryPerUrlOrLineAsFarAsTheyFit();
    void openAndSaveWriteTheExpectedBytes();
    void saveKeepsTheFilesPermissions();
    void hugeFilesOpenQuicklyOrSayWhy();
    void faultsKeepTheListAndTheFile_data();
    void faultsKeepTheListAndTheFile();
    void openDuringARun();
};

namespace {

enum Fault { Cancelled, MissingFile, UnreadableFile, Folder, ReadOnlyFolder, FullFileSystem };

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// Short on a full file system, on purpose.
void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// Drops data on the entry box as another program would; true when it took a copy.
bool dropFromOutside(UrlEntryBox* box, const QMimeData& data)
{
    QDragEnterEvent enter(box->rect().center(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QDropEvent drop(box->rect().center(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    return QCoreApplication::sendEvent(box, &enter) && enter.isAccepted() && QCoreApplication::sendEvent(box, &drop)
        && drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

// Permissions do not bind the superuser: the window works as an ordinary user would.
struct AsOrdinaryUser {
    explicit AsOrdinaryUser(bool wanted)
        : dropped(wanted && ::geteuid() == 0 && ::setegid(65534) == 0 && ::seteuid(65534) == 0)
    {
    }
    ~AsOrdinaryUser() { (void)(dropped && ::seteuid(0) == 0 && ::setegid(0) == 0); }
    const bool dropped;
};

} // namespace

void PlaylistWindow::addAndRemove()
{
    // On "first", "second" with a row selected: Add with the box's text, or (a null
    // text) Remove clicked twice, which must not take a neighbour the second time.
    const struct {
        int selected;
        QString typed;
        QStringList after;
        int selectedAfter;
    } edits[] = {{0, "  abc  ", {"first", "second", "  abc"}, 0},
                 {-1, "", {"first", "second", ""}, -1},
                 {1, "   ", {"first", "second", ""}, 1},
                 {-1, "abc\t", {"first", "second", "abc\t"}, -1},
                 {0, "first", {"first", "second", "first"}, 0},
                 {-1, QString(), {"first", "second"}, -1},
                 {0, "http://a \r\n\n  \r  b\nc\n", {"first", "second", "http://a", "  b", "c"}, 0},
                 {0, QString(), {"second"}, -1},
                 {1, QString(), {"first"}, -1}};
    for (const auto& edit : edits) {
        FakeWindow w({"first", "second"});
        w.form.lstPlayList->setCurrentRow(edit.selected);
        w.form.txtItemToAdd->setText(edit.typed);
        for (int click = edit.typed.isNull() ? 2 : 1; click > 0; --click)
            QTest::mouseClick(edit.typed.isNull() ? w.form.cmdRemoveItem : w.form.cmdAddItem, Qt::LeftButton);
        QCOMPARE(w.entries(), edit.after);
        QVERIFY(w.form.lstPlayList->currentRow() == edit.selectedAfter && w.form.txtItemToAdd->text().isEmpty());
    }
    // Enter adds as the button does, and not while a run has the button disabled.
    FakeWindow w;
    QTest::keyClicks(w.form.txtItemToAdd, "http://typed");
    QTest::keyClick(w.form.txtItemToAdd, Qt::Key_Return);
    w.form.cmdAddItem->setEnabled(false);
    QTest::keyClick(w.form.txtItemToAdd, Qt::Key_Return);
    QCOMPARE(w.entries(), QStringList{"http://typed"});
}

void PlaylistWindow::dropsAppendOneEntryPerUrlOrLineAsFarAsTheyFit()
{
    FakeWindow w;
    w.form.txtItemToAdd->setText("typed");
    QMimeData link, lines, picture;
    link.setUrls({QUrl("http://a.example/x%20"), QUrl::fromLocalFile("/srv/b c.html")});
    link.setText("A caption"); // a browser's link carries its caption as text too
    lines.setText("  c  \r\nd\n\ne");
    picture.setImageData(QColor(Qt::red));
    QVERIFY(dropFromOutside(w.form.txtItemToAdd, link) && dropFromOutside(w.form.txtItemToAdd, lines));
    QVERIFY(!dropFromOutside(w.form.txtItemToAdd, picture));
    // A link dragged from the page shown in the window: the engine's view is inside the browser.
    QMimeData pageLink;
    pageLink.setUrls({QUrl("http://page.example/linked")});
    QVERIFY(w.form.txtItemToAdd->drop(pageLink, new QWidget(w.form.WebBrowser1)));
    QTRY_COMPARE(w.entries(),
                 (QStringList{"http://a.example/x%20", "file:///srv/b%20c.html", "  c", "d", "e",
                              "http://page.example/linked"}));
    // The text of a control of this window; the box keeps what was typed.
    w.form.txt_url1->setText("http://f.example/  ");
    w.form.txtItemToAdd_DragDrop(w.form.txt_url1);
    QVERIFY(w.entries().last() == u"http://f.example/" && w.form.txtItemToAdd->text() == u"typed");
    QCOMPARE(w.fakes.messages.shown, QStringList{});

    // On a full list Add keeps the text in the box, and a drop takes what fits.
    while (w.form.lstPlayList->count() < kPlaylistCapacity)
        w.form.lstPlayList->addItem(QStringLiteral("filler"));
    QTest::mouseClick(w.form.cmdAddItem, Qt::LeftButton);
    QCOMPARE(w.form.txtItemToAdd->text(), "typed");
    delete w.form.lstPlayList->takeItem(0);
    lines.setText("fits\nleft out\nleft out too");
    QVERIFY(dropFromOutside(w.form.txtItemToAdd, lines));
    QTRY_COMPARE(w.fakes.messages.shown.size(), 2);
    QCOMPARE(w.entries().last(), "fits");
    QVERIFY2(w.fakes.messages.last().endsWith("at most 32,767 entries. Dropped entries left out: 2."),
             qPrintable(w.fakes.messages.last()));
}

void PlaylistWindow::openAndSaveWriteTheExpectedBytes()
{
    FakeWindow w;
    QTemporaryDir dir;
    const QString list = dir.filePath("list.txt"), saved = dir.filePath("saved.txt");
    write(list,
          "\xEF\xBB\xBF"
          "http://a  \n  http://b\n\n");
    write(saved, "old contents, longer than what replaces them\r\n");

    w.fakes.dialogs.setNextFileName(list);
    w.form.Load->trigger();
    QVERIFY(w.entries() == (QStringList{"http://a", "  http://b", ""}) && w.form.lstPlayList->currentRow() == -1);
    w.fakes.dialogs.setNextFileName(saved);
    w.form.cmdSave->click();
    QCOMPARE(contents(saved), QByteArray("http://a\r\n  http://b\r\n\r\n"));
    // An 8-bit file, opened and saved untouched, keeps its bytes.
    write(list, "caf\xE9\r\nhttp://a\r\n");
    w.fakes.dialogs.setNextFileName(list);
    w.form.cmdOpen->click();
    w.fakes.dialogs.setNextFileName(saved);
    w.form.cmdSave->click();
    QCOMPARE(contents(saved), QByteArray("caf\xE9\r\nhttp://a\r\n"));
    QCOMPARE(w.fakes.messages.shown, QStringList{});
}

// Replaced whole, or written in place where no file can be made beside it (a read-only
// folder): either way the file keeps its mode and no other file is left.
void PlaylistWindow::saveKeepsTheFilesPermissions()
{
    for (const auto& [readOnlyFolder, mode] : {std::pair{false, 0640}, std::pair{true, 0646}}) {
        QTemporaryDir dir;
        const QString folder = dir.filePath("lists"), path = folder + "/list.txt";
        QFile::setPermissions(dir.path(), QFile::Permissions(0x7755));
        QVERIFY(QDir().mkdir(folder));
        write(path, "old\r\n");
        std::filesystem::permissions(path.toStdString(), std::filesystem::perms(mode));
        if (readOnlyFolder)
            QFile::setPermissions(folder, QFile::Permissions(0x5555));
        FakeWindow w({"new"});
        w.fakes.dialogs.setNextFileName(path);
        {
            AsOrdinaryUser user(readOnlyFolder);
            w.form.cmdSave->click();
        }
        QFile::setPermissions(folder, QFile::Permissions(0x7755));
        QVERIFY(w.fakes.messages.shown.isEmpty() && contents(path) == "new\r\n");
        QCOMPARE(int(std::filesystem::status(path.toStdString()).permissions()), mode);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"list.txt"});
    }
}

void PlaylistWindow::hugeFilesOpenQuicklyOrSayWhy()
{
    QByteArray lines;
    for (int line = 1; line <= 100000; ++line)
        lines += "http://127.0.0.1:8000/page" + QByteArray::number(line) + ".html\r\n";
    // The bytes, the entries they give and what the user is told.
    const std::tuple<QByteArray, int, const char*> files[]
        = {{"http://example.com/?" + QByteArray(10 * 1024 * 1024, 'a'), 1, ""},
           {QByteArray(64 * 1024, '\0') + "\r\nhttp://after.example/\r\n", 2, ""},
           {lines, kPlaylistCapacity,
            "has 100,000 lines, but a playlist holds at most 32,767 entries: "
            "the first 32,767 were loaded and the last 67,233 were left out."}};
    for (const auto& [bytes, entries, message] : files) {
        QTemporaryDir dir;
        write(dir.filePath("huge.txt"), bytes);
        FakeWindow w;
        QVERIFY(w.shown());
        w.fakes.dialogs.setNextFileName(dir.filePath("huge.txt"));
        QElapsedTimer timer; // opened, shown and painted, as the user would see it
        timer.start();
        w.form.cmdOpen->click();
        w.form.lstPlayList->scrollToBottom();
        w.form.repaint();
        QCoreApplication::processEvents();
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(w.form.lstPlayList->count(), entries);
        QStyleOptionViewItem option; // only the beginning of an overlong entry is laid out
        option.initFrom(w.form.lstPlayList);
        QVERIFY(w.form.lstPlayList->itemDelegate()->sizeHint(option, w.form.lstPlayList->model()->index(0, 0)).width()
                < 100000);
        QCOMPARE(w.fakes.messages.shown.size(), *message ? 1 : 0);
        QVERIFY2(w.fakes.messages.last().contains(QLatin1String(message)), qPrintable(w.fakes.messages.last()));
    }
}

void PlaylistWindow::faultsKeepTheListAndTheFile_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<bool>("opening");
    QTest::addColumn<QString>("reason"); // empty: nothing to say

    QTest::newRow("cancelled open") << int(Cancelled) << true << "";
    QTest::newRow("cancelled save") << int(Cancelled) << false << "";
    QTest::newRow("missing file") << int(MissingFile) << true << "";
    QTest::newRow("unreadable file") << int(UnreadableFile) << true << "permission denied";
    QTest::newRow("folder to open") << int(Folder) << true << "folder";
    QTest::newRow("folder to save to") << int(Folder) << false << "folder";
    QTest::newRow("new file in a read-only folder") << int(ReadOnlyFolder) << false << "permission denied";
    QTest::newRow("full file system") << int(FullFileSystem) << false << "no space left on device";
}

void PlaylistWindow::faultsKeepTheListAndTheFile()
{
    QFETCH(int, fault);
    QFETCH(bool, opening);
    QFETCH(QString, reason);
    QStringList many;
    for (int row = 0; row < 2000; ++row)
        many << QStringLiteral("http://example.com/page/%1").arg(row);
    FakeWindow w(many);

    // Modes in Qt's notation, one hex digit per octal one: 0x7755 is rwxr-xr-x.
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::Permissions(0x7755));
    const QString folder = dir.filePath(fault == ReadOnlyFolder ? "read-only" : "files");
    const QString path = folder + "/list.txt";
    QVERIFY(QDir().mkpath(fault == Folder ? path : folder));
    // A 64 KiB file system with one page left free: the save starts, then runs out of room.
    const QByteArray mountPoint = QFile::encodeName(folder);
    if (fault == FullFileSystem && ::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP("no small file system can be mounted here");
    const auto unmount = qScopeGuard([&] { (void)(fault == FullFileSystem && ::umount(mountPoint.constData())); });
    if (fault == FullFileSystem)
        write(folder + "/filler", QByteArray(56 * 1024, 'x'));
    if (fault != Folder && fault != MissingFile && fault != ReadOnlyFolder)
        write(path, "kept\r\n");
    QFile::setPermissions(path, fault == UnreadableFile ? QFile::Permissions() : QFile::Permissions(0x6666));
    if (fault == ReadOnlyFolder)
        QFile::setPermissions(folder, QFile::Permissions(0x5555));
    const QStringList filesBefore = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    w.fakes.dialogs.setNextFileName(fault == Cancelled ? QString() : path);
    {
        AsOrdinaryUser user(fault == UnreadableFile || fault == ReadOnlyFolder);
        opening ? w.form.Load->trigger() : w.form.Save->trigger();
    }
    QFile::setPermissions(folder, QFile::Permissions(0x7755));

    QCOMPARE(w.entries(), many);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), filesBefore);
    QVERIFY(!QFileInfo(path).isFile() || contents(path) == "kept\r\n" || fault == UnreadableFile);
    QCOMPARE(w.fakes.messages.shown.size(), reason.isEmpty() ? 0 : 1);
    QVERIFY2(w.fakes.messages.last().contains(reason) && (reason.isEmpty() || w.fakes.messages.last().contains(path)),
             qPrintable(w.fakes.messages.last()));
}

// The Open button leaves the run going on over the new list from its next position;
// the File menu's Open stops the run before the dialog shows.
void PlaylistWindow::openDuringARun()
{
    QTemporaryDir dir;
    write(dir.filePath("next.txt"), "x\r\ny\r\nz\r\n");
    for (const bool fromMenu : {false, true}) {
        FakeWindow w({"a", "b", "c"});
        QString stopFlagAtDialog;
        w.fakes.dialogs.whileOpen = [&] { stopFlagAtDialog = w.form.StopFlag; };
        w.fakes.pump.at(500, [&] {
            w.fakes.dialogs.setNextFileName(dir.filePath("next.txt"));
            fromMenu ? w.form.Load->trigger() : w.form.cmdOpen->click();
        });

        w.form.start_button_Click();

        QCOMPARE(stopFlagAtDialog, fromMenu ? "Y" : "N");
        QCOMPARE(w.browser().navigations, (fromMenu ? QStringList{"a"} : QStringList{"a", "y", "z"}));
        QCOMPARE(w.entries(), (QStringList{"x", "y", "z"}));
    }
}

QTEST_MAIN(PlaylistWindow)
#include "tst_playlist_window.moc"
