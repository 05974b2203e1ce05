#include "app/form2.h"
#include "support/fake_platform.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <optional>
#include <sys/mount.h>
#include <unistd.h>

// Opening and saving playlists on real files, through the window's handlers.
class PlaylistFiles : public QObject {
    Q_OBJECT

private slots:
    void openAndSaveWriteTheExpectedBytes();
    void cancelledDialogsChangeNothing();
    void faultsKeepTheListAndTheFile_data();
    void faultsKeepTheListAndTheFile();
    void overLongFileLoadsWhatFitsAndSaysSo();
};

namespace {

enum class Fault { MissingFile, UnreadableFile, FolderToOpen, FolderToSave, ReadOnlyFolder, FullFileSystem };

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
    QCOMPARE(file.write(bytes), bytes.size());
}

// Permissions do not bind the superuser, so a test running as root gives up its
// rights while the window works, as an ordinary user running the program would.
class AsOrdinaryUser {
public:
    AsOrdinaryUser() : dropped_(::geteuid() == 0 && ::seteuid(65534) == 0) {}
    ~AsOrdinaryUser()
    {
        if (dropped_)
            QVERIFY(::seteuid(0) == 0);
    }

private:
    bool dropped_;
};

// A small file system, already full, mounted for the test's life where it may mount one.
class FullFileSystem {
public:
    explicit FullFileSystem(const QString& folder) : folder_(QFile::encodeName(folder))
    {
        mounted_ = QDir().mkpath(folder) && ::mount("tmpfs", folder_.constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~FullFileSystem()
    {
        if (mounted_)
            ::umount(folder_.constData());
    }
    bool mounted() const { return mounted_; }

private:
    QByteArray folder_;
    bool mounted_ = false;
};

} // namespace

void PlaylistFiles::openAndSaveWriteTheExpectedBytes()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    QTemporaryDir dir;
    const QString list = dir.filePath("list.txt");
    const QString saved = dir.filePath("saved.txt");
    write(list, "\xEF\xBB\xBF" "http://a  \n  http://b\n\n");
    write(saved, "old contents, longer than what replaces them\r\n");

    fakes.dialogs.setNextFileName(list);
    form.cmdOpen_Click();
    QCOMPARE(entries(form), (QStringList{"http://a", "  http://b", ""}));
    QCOMPARE(form.lstPlayList->currentRow(), -1);

    fakes.dialogs.setNextFileName(saved);
    form.cmdSave_Click();
    QCOMPARE(contents(saved), QByteArray("http://a\r\n  http://b\r\n\r\n"));

    form.lstPlayList->clear();
    fakes.dialogs.setNextFileName(saved);
    form.Save_Click();
    QCOMPARE(contents(saved), QByteArray());

    QCOMPARE(fakes.messages.shown, QStringList{});
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"list.txt", "saved.txt"}));
}

void PlaylistFiles::cancelledDialogsChangeNothing()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    QTemporaryDir dir;
    const QString list = dir.filePath("list.txt");
    write(list, "kept\r\n");
    form.lstPlayList->addItems({"a", "b"});
    form.PlaylistPath = list;

    form.cmdOpen_Click();
    form.cmdSave_Click();

    QCOMPARE(fakes.dialogs.opens + fakes.dialogs.saves, 2);
    QCOMPARE(entries(form), (QStringList{"a", "b"}));
    QCOMPARE(contents(list), QByteArray("kept\r\n"));
    QCOMPARE(fakes.messages.shown, QStringList{});
}

void PlaylistFiles::faultsKeepTheListAndTheFile_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing file, as ever silent") << Fault::MissingFile << QString();
    QTest::newRow("unreadable file") << Fault::UnreadableFile << "permission denied";
    QTest::newRow("folder to open") << Fault::FolderToOpen << "folder";
    QTest::newRow("folder to save to") << Fault::FolderToSave << "folder";
    QTest::newRow("read-only folder") << Fault::ReadOnlyFolder << "permission denied";
    QTest::newRow("full file system") << Fault::FullFileSystem << "no space left on device";
}

void PlaylistFiles::faultsKeepTheListAndTheFile()
{
    QFETCH(Fault, fault);
    QFETCH(QString, reason);

    FakePlatform fakes;
    form2 form(fakes.platform());
    form.lstPlayList->addItems({"old 1", "old 2"});
    for (int row = 0; row < 2000; ++row)
        form.lstPlayList->addItem(QStringLiteral("http://example.com/page/%1").arg(row));
    const QStringList before = entries(form);

    // Modes as octal digits in Qt's notation: 0x7755 is rwxr-xr-x.
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::Permissions(0x7755));
    QString folder = dir.path();
    std::optional<FullFileSystem> fullFileSystem;
    if (fault == Fault::ReadOnlyFolder) {
        folder = dir.filePath("read-only");
        QVERIFY(QDir().mkpath(folder));
    } else if (fault == Fault::FullFileSystem) {
        folder = dir.filePath("small");
        fullFileSystem.emplace(folder);
        if (!fullFileSystem->mounted())
            QSKIP("no small file system can be mounted here");
    }
    const QString path = folder + "/list.txt";
    const QByteArray oldBytes("kept\r\n");
    if (fault == Fault::FolderToOpen || fault == Fault::FolderToSave)
        QVERIFY(QDir().mkpath(path));
    else if (fault != Fault::MissingFile)
        write(path, oldBytes);
    QFile::setPermissions(path, fault == Fault::UnreadableFile ? QFile::Permissions() : QFile::Permissions(0x6666));
    if (fault == Fault::FullFileSystem) {
        QFile filler(folder + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        // One page left free: the save starts writing, then runs out of room part-way.
        filler.write(QByteArray(56 * 1024, 'x'));
    }
    if (fault == Fault::ReadOnlyFolder)
        QFile::setPermissions(folder, QFile::Permissions(0x5555));
    const QStringList filesBefore = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    fakes.dialogs.setNextFileName(path);
    {
        std::optional<AsOrdinaryUser> ordinaryUser;
        if (fault == Fault::UnreadableFile || fault == Fault::ReadOnlyFolder)
            ordinaryUser.emplace();
        const bool opening = fault == Fault::MissingFile || fault == Fault::UnreadableFile || fault == Fault::FolderToOpen;
        opening ? form.Load_Click() : form.Save_Click();
    }

    QCOMPARE(entries(form), before);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), filesBefore);
    if (QFileInfo(path).isFile() && fault != Fault::UnreadableFile)
        QCOMPARE(contents(path), oldBytes);
    if (reason.isEmpty()) {
        QCOMPARE(fakes.messages.shown, QStringList{});
    } else {
        QCOMPARE(fakes.messages.shown.size(), 1);
        QVERIFY2(fakes.messages.last().contains(path) && fakes.messages.last().contains(reason),
                 qPrintable(fakes.messages.last()));
    }
    QFile::setPermissions(folder, QFile::Permissions(0x7755));
}

void PlaylistFiles::overLongFileLoadsWhatFitsAndSaysSo()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("long.txt");
    QByteArray bytes;
    for (int line = 1; line <= 32770; ++line)
        bytes += QByteArray::number(line) + "\r\n";
    write(path, bytes);

    FakePlatform fakes;
    form2 form(fakes.platform());
    fakes.dialogs.setNextFileName(path);
    form.cmdOpen_Click();
    QCOMPARE(form.lstPlayList->count(), 32767);
    QCOMPARE(form.lstPlayList->item(32766)->text(), QStringLiteral("32767"));
    QCOMPARE(fakes.messages.shown.size(), 1);
    QVERIFY2(fakes.messages.last().contains(path) && fakes.messages.last().contains("last 3 were left out"),
             qPrintable(fakes.messages.last()));

    // At start-up there is no window to speak from: one line on standard error.
    QTemporaryFile errors;
    QVERIFY(errors.open());
    std::fflush(stderr);
    const int savedError = ::dup(STDERR_FILENO);
    ::dup2(errors.handle(), STDERR_FILENO);
    FakePlatform startupFakes;
    form2 started(startupFakes.platform("/f=" + path));
    std::fflush(stderr);
    ::dup2(savedError, STDERR_FILENO);
    ::close(savedError);

    QCOMPARE(started.lstPlayList->count(), 32767);
    QCOMPARE(startupFakes.messages.shown, QStringList{});
    QVERIFY(errors.seek(0));
    const QByteArray written = errors.readAll();
    QCOMPARE(written.count('\n'), 1);
    QVERIFY2(written.contains("last 3 were left out"), written.constData());
}

QTEST_MAIN(PlaylistFiles)
#include "tst_playlist_files.moc"
