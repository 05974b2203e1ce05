#include "app/form2.h"
#include "playlist/url_entry_box.h"
#include "support/fake_platform.h"

#include <QCheckBox>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <sys/mount.h>
#include <unistd.h>

// Editing, opening and saving the playlist through the window, on real files.
class PlaylistWindow : public QObject {
    Q_OBJECT

private slots:
    void addAppendsTrimmedAndKeepsTheSelection_data();
    void addAppendsTrimmedAndKeepsTheSelection();
    void removeTakesOnlyTheSelectedEntry_data();
    void removeTakesOnlyTheSelectedEntry();
    void dropsAppendOneEntryPerUrlOrLine();
    void fullListTakesWhatFitsAndSaysWhy();
    void openAndSaveWriteTheExpectedBytes();
    void saveKeepsTheFilesPermissions_data();
    void saveKeepsTheFilesPermissions();
    void faultsKeepTheListAndTheFile_data();
    void faultsKeepTheListAndTheFile();
    void openDuringARun_data();
    void openDuringARun();
};

namespace {

enum class Fault { Cancelled, MissingFile, UnreadableFile, Folder, ReadOnlyFolder, FullFileSystem };

QStringList entries(const form2& form)
{
    QStringList texts;
    for (int row = 0; row < form.lstPlayList->count(); ++row)
        texts << form.lstPlayList->item(row)->text();
    return texts;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes); // short on a full file system, on purpose
}

// Drops data on the entry box as another program would; true when it took a copy.
bool dropFromOutside(UrlEntryBox* box, const QMimeData& data)
{
    const QPoint middle = box->rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &enter);
    QDropEvent drop(middle, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    if (enter.isAccepted())
        QCoreApplication::sendEvent(box, &drop);
    return enter.isAccepted() && drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

// Permissions do not bind the superuser: a test running as root gives up its rights
// while the window works, as an ordinary user running the program would have none.
class AsOrdinaryUser {
public:
    AsOrdinaryUser() : dropped_(::geteuid() == 0 && ::setegid(65534) == 0 && ::seteuid(65534) == 0) {}
    ~AsOrdinaryUser()
    {
        if (dropped_) {
            (void)::seteuid(0);
            (void)::setegid(0);
        }
    }

private:
    bool dropped_;
};

// A 64 KiB file system, for the test's life, where the test may mount one.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const QString& folder) : folder_(QFile::encodeName(folder))
    {
        mounted_ = QDir().mkpath(folder) && ::mount("tmpfs", folder_.constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallFileSystem()
    {
        if (mounted_)
            ::umount(folder_.constData());
    }
    bool mounted() const { return mounted_; }

private:
    QByteArray folder_;
    bool mounted_ = false;
};

// Answers every dialog with one file, after a look at the window as the dialog opens.
class WatchingDialogs final : public FileDialogs {
public:
    QString askOpenFileName(QWidget*) override { return look(), answer; }
    QString askSaveFileName(QWidget*) override { return look(), answer; }
    QString answer;
    std::function<void()> look;
};

} // namespace

void PlaylistWindow::addAppendsTrimmedAndKeepsTheSelection_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("added");

    QTest::newRow("empty box") << "" << -1 << QStringList{""};
    QTest::newRow("spaces around") << "  abc  " << 0 << QStringList{"  abc"};
    QTest::newRow("only spaces") << "   " << 1 << QStringList{""};
    QTest::newRow("trailing tab stays") << "abc\t" << -1 << QStringList{"abc\t"};
    QTest::newRow("duplicate") << "first" << 0 << QStringList{"first"};
    QTest::newRow("pasted lines") << "http://a \r\n\n  \r  b\nc\n" << 0 << QStringList{"http://a", "  b", "c"};
}

void PlaylistWindow::addAppendsTrimmedAndKeepsTheSelection()
{
    QFETCH(QString, typed);
    QFETCH(int, selected);
    QFETCH(QStringList, added);
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.lstPlayList->addItems({"first", "second"});
    form.lstPlayList->setCurrentRow(selected);
    form.txtItemToAdd->setText(typed);

    QTest::mouseClick(form.cmdAddItem, Qt::LeftButton);
    QCOMPARE(entries(form), QStringList({"first", "second"}) + added);
    QCOMPARE(form.txtItemToAdd->text(), QString());

    // Enter adds as the button does, and not while a run has the button disabled.
    QTest::keyClicks(form.txtItemToAdd, "http://typed");
    QTest::keyClick(form.txtItemToAdd, Qt::Key_Return);
    form.cmdAddItem->setEnabled(false);
    QTest::keyClicks(form.txtItemToAdd, "x");
    QTest::keyClick(form.txtItemToAdd, Qt::Key_Return);
    QCOMPARE(entries(form).sliced(2 + added.size()), QStringList{"http://typed"});
    QCOMPARE(form.lstPlayList->currentRow(), selected);
}

void PlaylistWindow::removeTakesOnlyTheSelectedEntry_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("left");

    QTest::newRow("nothing selected") << QStringList{"a", "b"} << -1 << QStringList{"a", "b"};
    QTest::newRow("first") << QStringList{"a", "b", "c"} << 0 << QStringList{"b", "c"};
    QTest::newRow("last") << QStringList{"a", "b", "c"} << 2 << QStringList{"a", "b"};
    QTest::newRow("only entry") << QStringList{"a"} << 0 << QStringList{};
}

void PlaylistWindow::removeTakesOnlyTheSelectedEntry()
{
    QFETCH(QStringList, list);
    QFETCH(int, selected);
    QFETCH(QStringList, left);
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.lstPlayList->addItems(list);
    form.lstPlayList->setCurrentRow(selected);

    // The second click removes nothing more: no neighbour became selected.
    QTest::mouseClick(form.cmdRemoveItem, Qt::LeftButton);
    QTest::mouseClick(form.cmdRemoveItem, Qt::LeftButton);
    QCOMPARE(entries(form), left);
    QCOMPARE(form.lstPlayList->currentRow(), -1);
}

void PlaylistWindow::dropsAppendOneEntryPerUrlOrLine()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.txtItemToAdd->setText("typed");

    QMimeData link; // a browser's link carries its caption as text too
    link.setUrls({QUrl("http://a.example/x%20"), QUrl::fromLocalFile("/srv/b c.html")});
    link.setText("A caption");
    QVERIFY(dropFromOutside(form.txtItemToAdd, link));
    QMimeData lines;
    lines.setText("  c  \r\nd\n\ne");
    QVERIFY(dropFromOutside(form.txtItemToAdd, lines));
    QMimeData picture;
    picture.setImageData(QColor(Qt::red));
    QVERIFY(!dropFromOutside(form.txtItemToAdd, picture));

    // A link dragged from the page shown in the window: the engine's view is inside the browser.
    QMimeData pageLink;
    pageLink.setUrls({QUrl("http://page.example/linked")});
    QVERIFY(form.txtItemToAdd->drop(pageLink, new QWidget(form.WebBrowser1)));

    QTRY_COMPARE(entries(form), (QStringList{"http://a.example/x%20", "file:///srv/b%20c.html", "  c", "d", "e",
                                             "http://page.example/linked"}));
    form.txt_url1->setText("http://f.example/  ");
    form.txtItemToAdd_DragDrop(form.txt_url1);
    QCOMPARE(entries(form).last(), "http://f.example/");
    QCOMPARE(form.txtItemToAdd->text(), "typed");
    QCOMPARE(fakes.messages.shown, QStringList{});
}

void PlaylistWindow::fullListTakesWhatFitsAndSaysWhy()
{
    QTemporaryDir dir;
    QByteArray lines;
    for (int line = 1; line <= 32770; ++line)
        lines += QByteArray::number(line) + "\r\n";
    write(dir.filePath("long.txt"), lines);

    FakePlatform fakes;
    form2 form(fakes.platform());
    fakes.dialogs.setNextFileName(dir.filePath("long.txt"));
    form.cmdOpen_Click();
    QCOMPARE(form.lstPlayList->count(), 32767);
    QCOMPARE(form.lstPlayList->item(32766)->text(), "32767");
    QVERIFY2(fakes.messages.last().contains("last 3 were left out"), qPrintable(fakes.messages.last()));

    form.txtItemToAdd->setText("http://typed.example/");
    QTest::mouseClick(form.cmdAddItem, Qt::LeftButton);
    QCOMPARE(form.txtItemToAdd->text(), "http://typed.example/");
    delete form.lstPlayList->takeItem(0);
    QMimeData dropped;
    dropped.setText("fits\nleft out\nleft out too");
    QVERIFY(dropFromOutside(form.txtItemToAdd, dropped));
    QTRY_COMPARE(fakes.messages.shown.size(), 3);
    QCOMPARE(form.lstPlayList->item(32766)->text(), "fits");
    QVERIFY2(fakes.messages.last().contains("32,767") && fakes.messages.last().endsWith(": 2."),
             qPrintable(fakes.messages.last()));

    // At start-up there is no window to speak from yet: one line on standard error.
    QTemporaryFile errors;
    QVERIFY(errors.open());
    std::fflush(stderr);
    const int standardError = ::dup(STDERR_FILENO);
    ::dup2(errors.handle(), STDERR_FILENO);
    FakePlatform startupFakes;
    form2 started(startupFakes.platform("/f=" + dir.filePath("long.txt")));
    std::fflush(stderr);
    ::dup2(standardError, STDERR_FILENO);
    ::close(standardError);
    QCOMPARE(started.lstPlayList->count(), 32767);
    QVERIFY(errors.seek(0));
    const QByteArray written = errors.readAll();
    QVERIFY2(written.count('\n') == 1 && written.contains("last 3 were left out"), written.constData());
}

void PlaylistWindow::openAndSaveWriteTheExpectedBytes()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    QTemporaryDir dir;
    const QString list = dir.filePath("list.txt");
    const QString saved = dir.filePath("saved.txt");
    write(list, "\xEF\xBB\xBF" "http://a  \n  http://b\n\n");
    write(saved, "old contents, longer than what replaces them\r\n");

    fakes.dialogs.setNextFileName(list);
    form.Load_Click();
    QCOMPARE(entries(form), (QStringList{"http://a", "  http://b", ""}));
    QCOMPARE(form.lstPlayList->currentRow(), -1);
    fakes.dialogs.setNextFileName(saved);
    form.cmdSave_Click();
    QCOMPARE(contents(saved), QByteArray("http://a\r\n  http://b\r\n\r\n"));
    form.lstPlayList->clear();
    fakes.dialogs.setNextFileName(saved);
    form.Save_Click();
    QCOMPARE(contents(saved), QByteArray());

    // An 8-bit file, opened and saved untouched, keeps its bytes.
    write(list, "caf\xE9\r\nhttp://a\r\n");
    fakes.dialogs.setNextFileName(list);
    form.cmdOpen_Click();
    fakes.dialogs.setNextFileName(saved);
    form.cmdSave_Click();
    QCOMPARE(contents(saved), QByteArray("caf\xE9\r\nhttp://a\r\n"));
    QCOMPARE(fakes.messages.shown, QStringList{});
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"list.txt", "saved.txt"}));
}

void PlaylistWindow::saveKeepsTheFilesPermissions_data()
{
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::addColumn<int>("mode");

    QTest::newRow("replaced whole") << false << 0640;
    // No file can be made beside it, so it is written in place.
    QTest::newRow("in a read-only folder") << true << 0646;
}

void PlaylistWindow::saveKeepsTheFilesPermissions()
{
    QFETCH(bool, readOnlyFolder);
    QFETCH(int, mode);
    QTemporaryDir dir;
    const QString folder = dir.filePath("lists");
    const QString path = folder + "/list.txt";
    QFile::setPermissions(dir.path(), QFile::Permissions(0x7755));
    QVERIFY(QDir().mkdir(folder));
    write(path, "old\r\n");
    std::filesystem::permissions(path.toStdString(), std::filesystem::perms(mode));
    if (readOnlyFolder)
        QFile::setPermissions(folder, QFile::Permissions(0x5555));

    FakePlatform fakes;
    form2 form(fakes.platform());
    form.lstPlayList->addItem("new");
    fakes.dialogs.setNextFileName(path);
    {
        std::optional<AsOrdinaryUser> ordinaryUser;
        if (readOnlyFolder)
            ordinaryUser.emplace();
        form.cmdSave_Click();
    }
    QFile::setPermissions(folder, QFile::Permissions(0x7755));

    QCOMPARE(fakes.messages.shown, QStringList{});
    QCOMPARE(contents(path), QByteArray("new\r\n"));
    QCOMPARE(int(std::filesystem::status(path.toStdString()).permissions()), mode);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"list.txt"});
}

void PlaylistWindow::faultsKeepTheListAndTheFile_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<bool>("opening");
    QTest::addColumn<QString>("reason"); // empty: nothing to say

    QTest::newRow("cancelled open") << Fault::Cancelled << true << "";
    QTest::newRow("cancelled save") << Fault::Cancelled << false << "";
    QTest::newRow("missing file") << Fault::MissingFile << true << "";
    QTest::newRow("unreadable file") << Fault::UnreadableFile << true << "permission denied";
    QTest::newRow("folder to open") << Fault::Folder << true << "folder";
    QTest::newRow("folder to save to") << Fault::Folder << false << "folder";
    QTest::newRow("new file in a read-only folder") << Fault::ReadOnlyFolder << false << "permission denied";
    QTest::newRow("full file system") << Fault::FullFileSystem << false << "no space left on device";
}

void PlaylistWindow::faultsKeepTheListAndTheFile()
{
    QFETCH(Fault, fault);
    QFETCH(bool, opening);
    QFETCH(QString, reason);
    FakePlatform fakes;
    form2 form(fakes.platform());
    for (int row = 0; row < 2000; ++row)
        form.lstPlayList->addItem(QStringLiteral("http://example.com/page/%1").arg(row));
    const QStringList before = entries(form);

    // Modes in Qt's notation, one hex digit per octal one: 0x7755 is rwxr-xr-x.
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::Permissions(0x7755));
    QString folder = dir.path();
    std::optional<SmallFileSystem> smallFileSystem;
    if (fault == Fault::ReadOnlyFolder) {
        QVERIFY(QDir(folder).mkdir("read-only"));
        folder += "/read-only";
    } else if (fault == Fault::FullFileSystem) {
        folder += "/small";
        if (!smallFileSystem.emplace(folder).mounted())
            QSKIP("no small file system can be mounted here");
    }
    const QString path = folder + "/list.txt";
    const QByteArray oldBytes("kept\r\n");
    if (fault == Fault::Folder)
        QVERIFY(QDir().mkpath(path));
    else if (fault != Fault::MissingFile && fault != Fault::ReadOnlyFolder)
        write(path, oldBytes);
    QFile::setPermissions(path, fault == Fault::UnreadableFile ? QFile::Permissions() : QFile::Permissions(0x6666));
    // One page left free: the save starts to write, then runs out of room part-way.
    if (fault == Fault::FullFileSystem)
        write(folder + "/filler", QByteArray(56 * 1024, 'x'));
    if (fault == Fault::ReadOnlyFolder)
        QFile::setPermissions(folder, QFile::Permissions(0x5555));
    const QStringList filesBefore = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    fakes.dialogs.setNextFileName(fault == Fault::Cancelled ? QString() : path);
    {
        std::optional<AsOrdinaryUser> ordinaryUser;
        if (fault == Fault::UnreadableFile || fault == Fault::ReadOnlyFolder)
            ordinaryUser.emplace();
        opening ? form.Load_Click() : form.Save_Click();
    }
    QFile::setPermissions(folder, QFile::Permissions(0x7755));
    QFile::setPermissions(path, QFile::Permissions(0x6666));

    QCOMPARE(entries(form), before);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), filesBefore);
    if (QFileInfo(path).isFile())
        QCOMPARE(contents(path), oldBytes);
    QCOMPARE(fakes.messages.shown.size(), reason.isEmpty() ? 0 : 1);
    if (!reason.isEmpty())
        QVERIFY2(fakes.messages.last().contains(path) && fakes.messages.last().contains(reason),
                 qPrintable(fakes.messages.last()));
}

void PlaylistWindow::openDuringARun_data()
{
    QTest::addColumn<bool>("fromMenu");
    QTest::addColumn<QString>("stopFlagAtDialog");
    QTest::addColumn<QStringList>("visited");

    // The button leaves the run going on over the new list from its next position;
    // the menu item stops the run before the dialog shows.
    QTest::newRow("Open button") << false << "N" << QStringList{"a", "y", "z"};
    QTest::newRow("File menu Open") << true << "Y" << QStringList{"a"};
}

void PlaylistWindow::openDuringARun()
{
    QFETCH(bool, fromMenu);
    QFETCH(QString, stopFlagAtDialog);
    QFETCH(QStringList, visited);
    QTemporaryDir dir;
    write(dir.filePath("next.txt"), "x\r\ny\r\nz\r\n");

    FakePlatform fakes;
    WatchingDialogs dialogs;
    const Platform faked = fakes.platform();
    form2 form(Platform{faked.pump, faked.clock, faked.random, faked.messages, dialogs, faked.processEnd,
                        faked.makeBrowser, faked.commandLine, faked.programFolder, faked.options});
    QString stopFlagSeen;
    dialogs.answer = dir.filePath("next.txt");
    dialogs.look = [&] { stopFlagSeen = form.StopFlag; };
    form.ckLoop->setChecked(false);
    form.ckCache->setChecked(false);
    form.txt_interval->setText("1");
    form.lstPlayList->addItems({"a", "b", "c"});
    fakes.pump.at(500, [&] { fromMenu ? form.Load->trigger() : form.cmdOpen->click(); });

    form.start_button_Click();
    QCOMPARE(stopFlagSeen, stopFlagAtDialog);
    QCOMPARE(fakes.browser->navigations, visited);
    QCOMPARE(entries(form), (QStringList{"x", "y", "z"}));
}

QTEST_MAIN(PlaylistWindow)
#include "tst_playlist_window.moc"
