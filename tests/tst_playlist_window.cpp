#include "playlist/playlist_capacity.h"
#include "support/fake_window.h"

#include <QElapsedTimer>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/mount.h>

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
        // On "first", "second" with a row selected: Add with the box's text, or (a null
        // text) Remove clicked twice, which must not take a neighbour the second time.
        const struct {
            int selected;
            QString typed;
            QStringList after;
            int selectedAfter;
        } edits[] = {{0, "  abc  ", {"first", "second", "  abc"}, 0},
                     {1, "   ", {"first", "second", ""}, 1},
                     {-1, "first", {"first", "second", "first"}, -1},
                     {0, "http://a \r\n\n  \r  b\nc\n", {"first", "second", "http://a", "  b", "c"}, 0},
                     {-1, QString(), {"first", "second"}, -1},
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
        QTRY_COMPARE(w.fakes.messages.shown.size(), 1);
        QTest::mouseClick(w.form.cmdAddItem, Qt::LeftButton);
        QVERIFY(w.entries().last() == u"  c" && w.form.txtItemToAdd->text() == u"typed"
                && w.fakes.messages.shown.size() == 2);
        QVERIFY2(w.fakes.messages.shown.first().endsWith("at most 32,767 entries. Dropped entries left out: 2."),
                 qPrintable(w.fakes.messages.shown.first()));
    }

    // Opened and saved again, an 8-bit file keeps its bytes and its mode, and nothing is
    // left beside it.
    void saveGivesBackWhatWasOpened()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("list.txt");
        write(path, "caf\xE9      \n  http://b\n\n");
        QFile::setPermissions(path, QFile::Permissions(0x6646)); // rw-r--rw-, in Qt's hex notation
        FakeWindow w;
        w.fakes.dialogs.setNextFileName(path);
        w.form.Load->trigger();
        QVERIFY(w.entries() == (QStringList{u"café"_s, "  http://b", ""}) && w.form.lstPlayList->currentRow() == -1);
        w.fakes.dialogs.setNextFileName(path);
        w.form.Save->trigger();
        QVERIFY(w.fakes.messages.shown.isEmpty() && contents(path) == "caf\xE9\r\n  http://b\r\n\r\n");
        QCOMPARE(QFile::permissions(path), QFile::Permissions(0x6646));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"list.txt"});
    }

    // Opened quickly; an overlong entry has only its beginning laid out, and lines beyond
    // the playlist's capacity are told of.
    void hugeFilesOpenQuicklyOrSayWhy()
    {
        // The bytes, the entries they give and what the user is told.
        const std::tuple<QByteArray, int, const char*> files[]
            = {{"http://example.com/?" + QByteArray(10 * 1024 * 1024, 'a'), 1, ""},
               {QByteArray(64 * 1024, '\0') + "\r\nhttp://after.example/\r\n", 2, ""},
               {QByteArray("http://127.0.0.1:8000/page.html\r\n").repeated(100000), kPlaylistCapacity,
                "has 100,000 lines, but a playlist holds at most 32,767 entries: "
                "the first 32,767 were loaded and the last 67,233 were left out."}};
        for (const auto& [bytes, entries, message] : files) {
            QTemporaryDir dir;
            write(dir.filePath("huge.txt"), bytes);
            FakeWindow w;
            w.fakes.dialogs.setNextFileName(dir.filePath("huge.txt"));
            QElapsedTimer timer;
            timer.start();
            w.form.cmdOpen->click();
            QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
            QCOMPARE(w.form.lstPlayList->count(), entries);
            QStyleOptionViewItem option;
            option.initFrom(w.form.lstPlayList);
            QVERIFY(
                w.form.lstPlayList->itemDelegate()->sizeHint(option, w.form.lstPlayList->model()->index(0, 0)).width()
                < 100000);
            QVERIFY2(w.fakes.messages.shown.size() == (*message ? 1 : 0)
                         && w.fakes.messages.last().contains(QLatin1String(message)),
                     qPrintable(w.fakes.messages.last()));
        }
    }

    // A cancelled or failed open or save keeps the list and the file, and says why. The
    // last saves where a 64 KiB file system has one page left: the save starts, then runs
    // out of room.
    void faultsKeepTheListAndTheFile()
    {
        const QStringList many(2000, QStringLiteral("http://example.com/page"));
        QTemporaryDir dir;
        const QString full = dir.filePath("full"), kept = full + "/list.txt";
        const QByteArray mountPoint = QFile::encodeName(full);
        const bool mounted = QDir().mkpath(dir.filePath("folder")) && QDir().mkpath(full)
            && ::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") == 0;
        const auto unmount = qScopeGuard([&] { (void)(mounted && ::umount(mountPoint.constData())); });
        write(full + "/filler", QByteArray(56 * 1024, 'x'));
        write(kept, "kept\r\n");
        const struct {
            QString name;
            bool opening;
            QString reason; // empty: nothing to say
        } rows[] = {{"", true, ""},
                    {"missing.txt", true, ""},
                    {"folder", true, "folder"},
                    {"folder", false, "folder"},
                    {"full/list.txt", false, "no space left on device"}};
        for (const auto& row : rows) {
            if (row.name.startsWith(u"full") && !mounted)
                QSKIP("no small file system can be mounted here");
            FakeWindow w(many);
            w.fakes.dialogs.setNextFileName(row.name.isEmpty() ? QString() : dir.filePath(row.name));
            row.opening ? w.form.Load->trigger() : w.form.Save->trigger();
            QCOMPARE(w.entries(), many);
            QVERIFY(contents(kept) == "kept\r\n"
                    && QDir(full).entryList(QDir::Files) == (QStringList{"filler", "list.txt"}));
            QVERIFY2(w.fakes.messages.shown.size() == (row.reason.isEmpty() ? 0 : 1)
                         && w.fakes.messages.last().contains(row.reason)
                         && w.fakes.messages.last().contains(row.reason.isEmpty() ? "" : row.name),
                     qPrintable(w.fakes.messages.last()));
        }
    }

    // The Open button leaves the run going on over the new list from its next position;
    // the File menu's Open stops the run before the dialog shows.
    void openDuringARun()
    {
        QTemporaryDir dir;
        write(dir.filePath("next.txt"), "x\r\ny\r\nz\r\n");
        for (const bool fromMenu : {false, true}) {
            FakeWindow w({"a", "b", "c"});
            QString stopFlagAtDialog;
            w.fakes.dialogs.whileOpen = [&] { stopFlagAtDialog = w.form.StopFlag; };
            w.fakes.dialogs.setNextFileName(dir.filePath("next.txt"));
            w.fakes.pump.at(500, [&] { fromMenu ? w.form.Load->trigger() : w.form.cmdOpen->click(); });
            w.form.start_button_Click();
            QCOMPARE(stopFlagAtDialog, fromMenu ? "Y" : "N");
            QCOMPARE(w.browser().navigations, (fromMenu ? QStringList{"a"} : QStringList{"a", "y", "z"}));
            QCOMPARE(w.entries(), (QStringList{"x", "y", "z"}));
        }
    }
};

QTEST_MAIN(PlaylistWindow)
#include "tst_playlist_window.moc"
