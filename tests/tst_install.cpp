#include <QDir>
#include <QImageReader>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// Installing into a fresh prefix, as a user or a packager would: every file lies where
// the desktop, the shell and the program itself look for it.
class Install : public QObject {
    Q_OBJECT

private slots:
    void everyFileLiesWhereItIsLookedFor();
};

namespace {

// The output of a program that ended with status 0, or why it did not.
QByteArray outputOf(const QString& program, const QStringList& arguments, bool* succeeded,
                    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    *succeeded
        = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return process.readAll() + (*succeeded ? QByteArray() : process.errorString().toUtf8());
}

} // namespace

void Install::everyFileLiesWhereItIsLookedFor()
{
    QTemporaryDir prefix;
    bool ok = false;
    QByteArray output
        = outputOf(VELTRASE_CMAKE_COMMAND, {"--install", VELTRASE_BUILD_DIR, "--prefix", prefix.path()}, &ok);
    QVERIFY2(ok, output.constData());

    // The launcher on the path leads to the installed program, not the build tree: the
    // program takes its folder, where the Help menu's pages lie, from it.
    const QString launcher = QStandardPaths::findExecutable(QStringLiteral("veltrase"), {prefix.filePath("bin")});
    const QFileInfo program(QFileInfo(launcher).canonicalFilePath());
    QVERIFY(program.filePath().startsWith(QDir(prefix.path()).canonicalPath() + u'/'));
    output = outputOf(launcher, {"--version"}, &ok);
    QVERIFY2(ok && output.startsWith("Veltrase 3.1.1"), output.constData());
    for (const char* page : {"help.html", "license-pro.html"}) {
        QFile installed(program.dir().filePath(page)), shipped(VELTRASE_SOURCE_DIR "/resources/" + QString(page));
        QVERIFY2(installed.open(QIODevice::ReadOnly) && shipped.open(QIODevice::ReadOnly), page);
        QCOMPARE(installed.readAll(), shipped.readAll());
    }

    // The desktop entry names the launcher and an icon the theme holds in every size it
    // lists, 48 × 48 among them.
    const QString entryPath = prefix.filePath("share/applications/veltrase.desktop");
    QSettings entry(entryPath, QSettings::IniFormat);
    QCOMPARE(prefix.filePath("bin/") + entry.value("Desktop Entry/Exec").toString().section(u' ', 0, 0), launcher);
    const QDir theme(prefix.filePath("share/icons/hicolor"));
    const QStringList sizes = theme.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QVERIFY(sizes.contains(u"48x48") && sizes.size() >= 4);
    const QString icon = "/apps/" + entry.value("Desktop Entry/Icon").toString() + ".png";
    for (const QString& size : sizes) {
        const QSize pixels = QImageReader(theme.filePath(size + icon)).size();
        QCOMPARE(QStringLiteral("%1x%2").arg(pixels.width()).arg(pixels.height()), size);
    }

    // The user service lies where the user manager looks for this prefix (a prefix of
    // one's own, as ~/.local, or a system one staged with DESTDIR) and starts this
    // prefix's launcher, as the installed system will see it.
    const QString ownUnits = prefix.filePath("share/systemd/user");
    for (const QString system : {"", "/usr", "/usr/local"}) {
        QTemporaryDir staging;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DESTDIR", staging.path());
        output = system.isEmpty()
            ? QByteArray()
            : outputOf(VELTRASE_CMAKE_COMMAND, {"--install", VELTRASE_BUILD_DIR, "--prefix", system}, &ok, environment);
        QVERIFY2(system.isEmpty() || ok, output.constData());
        const QString units = system.isEmpty() ? ownUnits : staging.path() + system + "/lib/systemd/user";
        QFile unit(units + "/veltrase.service");
        QVERIFY2(unit.open(QIODevice::ReadOnly), qPrintable(unit.fileName()));
        const QByteArray start
            = "\nExecStart=" + QFile::encodeName(system.isEmpty() ? prefix.path() : system) + "/bin/veltrase /f=";
        QVERIFY2(unit.readAll().contains(start), start.constData());
        QVERIFY(QFileInfo::exists(units + "/service.env.example"));
    }

    // The desktop's validator, the manual's formatter and the unit's verifier find
    // nothing to say. A user manager needs a runtime folder, which a session gives and
    // a test machine does not; the unit's manual page is looked up in this prefix.
    QTemporaryDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", runtime.path());
    environment.insert("MANPATH", prefix.filePath("share/man"));
    const QString manualPage = prefix.filePath("share/man/man1/veltrase.1");
    const std::pair<const char*, QStringList> checks[]
        = {{"desktop-file-validate", {entryPath}},
           {"groff", {"-man", "-Tutf8", "-ww", "-z", manualPage}},
           {"systemd-analyze", {"--user", "verify", ownUnits + "/veltrase.service"}}};
    for (const auto& [tool, arguments] : checks) {
        const QString path = QStandardPaths::findExecutable(tool);
        if (path.isEmpty())
            qWarning("%s is not installed: its check is left out", tool);
        output = path.isEmpty() ? QByteArray() : outputOf(path, arguments, &ok, environment);
        QVERIFY2(path.isEmpty() || (ok && output.isEmpty()), output.constData());
    }
}

QTEST_GUILESS_MAIN(Install)
#include "tst_install.moc"
