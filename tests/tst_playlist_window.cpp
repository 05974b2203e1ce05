#include "playlist/playlist_capacity.h"
#include "support/fake_window.h"

#include <QDeadlineTimer>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/mount.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// Short on a full file system, on purpose.
void write(const QString& path, const QByteArray& bytes)
{
    if (QFile file(path); file.open(QIODevice::WriteOnly))
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

} // namespace

// Editing, opening and saving the playlist through the window, on real files.
class PlaylistWindow : public QObject {
    Q_OBJECT

private slots:
    void addAndRemove()
    {
        // On "first", "second" with a row selected: Add with the box's text, which keeps the
        // selection, or (a null text) Remove clicked twice, which selects nothing, so the
        // second click must not take a neighbour.
        const struct {
            int selected;
            QString typed;
            QStringList after;
        } edits[] = {{0, "  abc  ", {"first", "second", "  abc"}},
                     {1, "   ", {"first", "second", ""}},
                     {0, "http://a \r\n\n  \r  b\nc\n", {"first", "second", "http://a", "  b", "c"}},
                     {-1, QString(), {"first", "second"}},
                     {0, QString(), {"second"}}};
        for (const auto& edit : edits) {
            FakeWindow w({"first", "second"});
            w.form.lstPlayList->setCurrentRow(edit.selected);
            w.form.txtItemToAdd->setText(edit.typed);
            for (int click = edit.typed.isNull() ? 2 : 1; click > 0; --click)
                QTest::mouseClick(edit.typed.isNull() ? w.form.cmdRemoveItem : w.form.cmdAddItem, Qt::LeftButton);
            QCOMPARE(w.entries(), edit.after);
            QVERIFY(w.form.lstPlayList->currentRow() == (edit.typed.isNull() ? -1 : edit.selected)
                    && w.form.txtItemToAdd->text().isEmpty());
        }
        // Enter adds as the button does, and not while a run has the button disabled.
        FakeWindow w;
        QTest::keyClicks(w.form.txtItemToAdd, "http://typed");
        QTest::keyClick(w.form.txtItemToAdd, Qt::Key_Return);
        w.form.cmdAddItem->setEnabled(false);
        QTest::keyClick(w.form.txtItemToAdd, Qt::Key_Return);
        QCOMPARE(w.entries(), QStringList{"http://typed"});
    }

    void dropsAppendOneEntryPerUrlOrLineAsFarAsTheyFit()
    {
        FakeWindow w;
        w.form.txtItemToAdd->setText("typed");
        QMimeData link, lines;
        link.setUrls({QUrl("http://a.example/x%20"), QUrl::fromLocalFile("/srv/b c.html")});
        link.setText("A caption"); // a browser's link carries its caption as text too
        lines.setText("  c  \r\nd\n\ne");
        QVERIFY(dropFromOutside(w.form.txtItemToAdd, link) && dropFromOutside(w.form.txtItemToAdd, lines));
        QTRY_COMPARE(w.entries(), (QStringList{"http://a.example/x%20", "file:///srv/b%20c.html", "  c", "d", "e"}));

        // On a full list a drop takes what fits, and Add keeps the text in the box.
        while (w.form.lstPlayList->count() < kPlaylistCapacity - 1)
            w.form.lstPlayList->addItem(QStringLiteral("filler"));
        QVERIFY(dropFromOutside(w.form.txtItemToAdd, lines));
        QTRY_VERIFY(w.fakes.messages.last().endsWith("at most 32,767 entries. Dropped entries left out: 2."));
        QTest::mouseClick(w.form.cmdAddItem, Qt::LeftButton);
        QVERIFY(w.entries().last() == u"  c" && w.form.txtItemToAdd->text() == u"typed"
                && w.fakes.messages.shown.size() == 2);
    }

    // After an open or a save through the dialog: how many entries the list holds and
    // what the user is told. A cancel or a failure keeps the list and the file, one marked
    // read-only too (even for root, whom its permissions let through); an open is quick
    // however big the file, and of an overlong entry only the beginning is laid out.
    // The save to "full" starts on a 64 KiB file system with one page left, then runs out
    // of room.
    void openAndSaveHardFiles()
    {
        QTemporaryDir dir;
        const QString full = dir.filePath("full"), kept = full + "/list.txt";
        const QByteArray mountPoint = QFile::encodeName(full);
        const bool mounted = QDir().mkpath(dir.filePath("folder")) && QDir().mkpath(full)
            && ::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") == 0;
        const auto unmount = qScopeGuard([&] { (void)(mounted && ::umount(mountPoint.constData())); });
        write(full + "/filler", QByteArray(56 * 1024, 'x'));
        write(kept, "kept\r\n");
        write(dir.filePath("long.txt"), "http://example.com/?" + QByteArray(kPlaylistSizeLimit - 20, 'a'));
        write(dir.filePath("huge.txt"), QByteArray(kPlaylistSizeLimit + 1, '\n'));
        write(dir.filePath("nul.txt"), QByteArray(64 * 1024, '\0') + "\r\nhttp://after.example/\r\n");
        write(dir.filePath("read-only.txt"), "kept\r\n");
        write(dir.filePath("notepad.txt"), QByteArray("\xFF\xFEh\0\r\0\n\0\0\0", 10));
        QFile::setPermissions(dir.filePath("read-only.txt"), QFile::Permissions(0x4444));
        write(dir.filePath("lines.txt"), QByteArray("http://127.0.0.1:8000/page.html\r\n").repeated(100000));
        const struct {
            QString name; // none: the dialog is cancelled
            bool opening;
            int entries;
            QString words; // none: nothing to tell
        } rows[] = {{"long.txt", true, 1, ""},
                    {"huge.txt", true, 2000, "larger than 4 MiB"},
                    {"nul.txt", true, 2000, "it holds binary data, not text"},
                    {"notepad.txt", true, 2, ""},
                    {"lines.txt", true, kPlaylistCapacity,
                     "has 100,000 lines, but a playlist holds at most 32,767 entries: "
                     "the first 32,767 were loaded and the last 67,233 were left out."},
                    {"", true, 2000, ""},
                    {"missing.txt", true, 2000, ""},
                    {"folder", true, 2000, "folder"},
                    {"folder", false, 2000, "folder"},
                    {"read-only.txt", false, 2000, "the file is read-only"},
                    {"full/list.txt", false, 2000, "no space left on device"}};
        for (const auto& row : rows) {
            if (row.name.startsWith(u"full") && !mounted)
                QSKIP("no small file system can be mounted here");
            FakeWindow w(QStringList(2000, QStringLiteral("http://example.com/page")));
            w.fakes.dialogs.setNextFileName(row.name.isEmpty() ? QString() : dir.filePath(row.name));
            const QDeadlineTimer deadline(1000);
            row.opening ? w.form.Load->trigger() : w.form.Save->trigger();
            QVERIFY(!deadline.hasExpired());
            QCOMPARE(w.form.lstPlayList->count(), row.entries);
            QVERIFY(w.form.lstPlayList->sizeHintForColumn(0) < 100000);
            QVERIFY(contents(kept) == "kept\r\n" && contents(dir.filePath("read-only.txt")) == "kept\r\n"
                    && QDir(full).entryList(QDir::Files) == (QStringList{"filler", "list.txt"}));
            const QString told = w.fakes.messages.shown.join(u'|');
            QVERIFY2(row.words.isEmpty() ? told.isEmpty() : told.contains(row.words) && told.contains(row.name),
                     qPrintable(told));
        }
    }

    // The Open button leaves the run going on over the new list from its next position;
    // the File menu's Open stops the run before the dialog shows. Saved back, the 8-bit
    // file keeps its bytes and its mode, written in place where its folder refuses a new file
    // beside it (the test saves as an ordinary user there: root passes every permission).
    void openDuringARunThenSaveBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("next.txt");
        // The last entry carries settings of its own: read for the run, kept as written.
        write(path, "x\xE9\r\ny\r\nz /t=2 /hours=07:00-08:00\r\n");
        QFile::setPermissions(path, QFile::Permissions(0x6646)); // rw-r--rw-: one hex digit per octal one
        QFile::setPermissions(dir.path(), QFile::Permissions(0x5555));
        const auto writable = qScopeGuard([&] { QFile::setPermissions(dir.path(), QFile::Permissions(0x7700)); });
        for (const bool fromMenu : {false, true}) {
            FakeWindow w({"a", "b", "c"});
            QString stopFlagAtDialog;
            w.fakes.dialogs.whileOpen = [&] { stopFlagAtDialog = w.form.StopFlag; };
            w.fakes.dialogs.setNextFileName(path);
            w.fakes.pump.at(500, [&] { fromMenu ? w.form.Load->trigger() : w.form.cmdOpen->click(); });
            w.form.start_button_Click();
            QCOMPARE(stopFlagAtDialog, fromMenu ? "Y" : "N");
            QCOMPARE(w.browser().navigations, (fromMenu ? QStringList{"a"} : QStringList{"a", "y", "z"}));
            QCOMPARE(w.entries(), (QStringList{u"xé"_s, "y", "z /t=2 /hours=07:00-08:00"}));
            w.fakes.dialogs.setNextFileName(path);
            const bool asNobody = ::geteuid() == 0 && ::setegid(65534) == 0 && ::seteuid(65534) == 0;
            w.form.Save->trigger();
            QVERIFY(!asNobody || (::seteuid(0) == 0 && ::setegid(0) == 0));
            QVERIFY2(w.fakes.messages.shown.isEmpty(), qPrintable(w.fakes.messages.shown.join(u'|')));
            QVERIFY(contents(path) == "x\xE9\r\ny\r\nz /t=2 /hours=07:00-08:00\r\n"
                    && QFile::permissions(path) == QFile::Permissions(0x6646));
        }
    }
};

QTEST_MAIN(PlaylistWindow)
#include "tst_playlist_window.moc"
