#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// Installing into a fresh prefix, as a user or a packager would, and checking that
// every file lies where the desktop, the shell and the program itself look for it.
class Install : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void launcherOnThePathRunsTheInstalledProgram();
    void programFolderHoldsThePagesTheHelpMenuOpens_data();
    void programFolderHoldsThePagesTheHelpMenuOpens();
    void desktopEntryNamesTheLauncherAndTheIcons();
    void desktopEntryPassesTheValidator();
    void manualPageIsWhereManLooks();
    void userServiceIsWhereTheUserManagerLooks_data();
    void userServiceIsWhereTheUserManagerLooks();
    void userServicePassesTheVerifier();

private:
    QString installed(const QString& relativePath) const { return prefix_.filePath(relativePath); }

    QTemporaryDir prefix_;
};

namespace {

struct Finished {
    int exitCode = -1;
    QByteArray output;
};

Finished run(const QString& program, const QStringList& arguments,
             const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAll()};
}

} // namespace

void Install::initTestCase()
{
    QVERIFY(prefix_.isValid());
    const Finished install = run(QStringLiteral(VELTRASE_CMAKE_COMMAND),
                                 {QStringLiteral("--install"), QStringLiteral(VELTRASE_BUILD_DIR),
                                  QStringLiteral("--prefix"), prefix_.path()});
    QVERIFY2(install.exitCode == 0, install.output.constData());
}

void Install::launcherOnThePathRunsTheInstalledProgram()
{
    const QFileInfo launcher(installed(QStringLiteral("bin/veltrase")));
    QVERIFY(launcher.isExecutable());
    // The program takes its folder from the executable the launcher leads to, which
    // must be the installed copy, not the build tree.
    QVERIFY(launcher.canonicalFilePath().startsWith(QDir(prefix_.path()).canonicalPath() + QLatin1Char('/')));

    const QString found = QStandardPaths::findExecutable(QStringLiteral("veltrase"), {installed(QStringLiteral("bin"))});
    QCOMPARE(found, launcher.absoluteFilePath());
    const Finished version = run(found, {QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QVERIFY2(version.output.startsWith("Veltrase 3.1.1"), version.output.constData());
}

void Install::programFolderHoldsThePagesTheHelpMenuOpens_data()
{
    QTest::addColumn<QString>("page");
    QTest::newRow("help") << "help.html";
    QTest::newRow("licence") << "license-pro.html";
}

void Install::programFolderHoldsThePagesTheHelpMenuOpens()
{
    QFETCH(QString, page);
    const QDir programFolder = QFileInfo(installed(QStringLiteral("bin/veltrase"))).canonicalFilePath().section(
        QLatin1Char('/'), 0, -2);
    QFile installedPage(programFolder.filePath(page));
    QVERIFY2(installedPage.open(QIODevice::ReadOnly), qPrintable(installedPage.fileName()));
    QFile shippedPage(QStringLiteral(VELTRASE_SOURCE_DIR "/resources/") + page);
    QVERIFY(shippedPage.open(QIODevice::ReadOnly));
    QCOMPARE(installedPage.readAll(), shippedPage.readAll());
}

void Install::desktopEntryNamesTheLauncherAndTheIcons()
{
    const QString entryPath = installed(QStringLiteral("share/applications/veltrase.desktop"));
    QVERIFY(QFileInfo::exists(entryPath));
    QSettings entry(entryPath, QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));

    const QString command = entry.value(QStringLiteral("Exec")).toString().section(QLatin1Char(' '), 0, 0);
    QVERIFY(QFileInfo(installed(QStringLiteral("bin/") + command)).isExecutable());

    // The theme needs 48 × 48 at least; every size present must hold a picture of that size.
    const QString iconName = entry.value(QStringLiteral("Icon")).toString();
    const QDir theme(installed(QStringLiteral("share/icons/hicolor")));
    QVERIFY(QFileInfo::exists(theme.filePath(QStringLiteral("48x48/apps/") + iconName + QStringLiteral(".png"))));
    const QStringList sizes = theme.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QVERIFY(sizes.size() >= 4);
    for (const QString& size : sizes) {
        const QString iconPath = theme.filePath(size + QStringLiteral("/apps/") + iconName + QStringLiteral(".png"));
        const QSize pixels = QImageReader(iconPath).size();
        QCOMPARE(QStringLiteral("%1x%2").arg(pixels.width()).arg(pixels.height()), size);
    }
}

void Install::desktopEntryPassesTheValidator()
{
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        QSKIP("desktop-file-validate is not installed (Debian package desktop-file-utils)");
    const Finished validation = run(validator, {installed(QStringLiteral("share/applications/veltrase.desktop"))});
    QVERIFY2(validation.exitCode == 0 && validation.output.isEmpty(), validation.output.constData());
}

void Install::manualPageIsWhereManLooks()
{
    const QString page = installed(QStringLiteral("share/man/man1/veltrase.1"));
    QFile file(page);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.startsWith(".TH VELTRASE 1"));
    QVERIFY(text.contains("Veltrase 3.1.1"));

    const QString formatter = QStandardPaths::findExecutable(QStringLiteral("groff"));
    if (formatter.isEmpty())
        QSKIP("groff is not installed");
    const Finished formatted = run(formatter, {QStringLiteral("-man"), QStringLiteral("-Tutf8"),
                                               QStringLiteral("-ww"), QStringLiteral("-z"), page});
    QVERIFY2(formatted.exitCode == 0 && formatted.output.isEmpty(), formatted.output.constData());
}

void Install::userServiceIsWhereTheUserManagerLooks_data()
{
    QTest::addColumn<QString>("prefix"); // staged with DESTDIR; empty for the test's own prefix
    QTest::addColumn<QString>("unitFolder");
    QTest::newRow("a prefix of one's own, as ~/.local") << QString() << "share/systemd/user";
    QTest::newRow("/usr") << "/usr" << "lib/systemd/user";
    QTest::newRow("/usr/local") << "/usr/local" << "lib/systemd/user";
}

void Install::userServiceIsWhereTheUserManagerLooks()
{
    QFETCH(QString, prefix);
    QFETCH(QString, unitFolder);
    QTemporaryDir staging;
    QString landed = prefix_.path() + QLatin1Char('/') + unitFolder;
    if (prefix.isEmpty()) {
        prefix = prefix_.path();
    } else {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DESTDIR"), staging.path());
        const Finished install = run(QStringLiteral(VELTRASE_CMAKE_COMMAND),
                                     {QStringLiteral("--install"), QStringLiteral(VELTRASE_BUILD_DIR),
                                      QStringLiteral("--prefix"), prefix},
                                     environment);
        QVERIFY2(install.exitCode == 0, install.output.constData());
        landed = staging.path() + prefix + QLatin1Char('/') + unitFolder;
    }
    QFile unit(landed + QStringLiteral("/veltrase.service"));
    QVERIFY2(unit.open(QIODevice::ReadOnly), qPrintable(unit.fileName()));
    // The launcher of this prefix, as the installed system will see it.
    const QByteArray start = "\nExecStart=" + QFile::encodeName(prefix) + "/bin/veltrase /f=";
    QVERIFY2(unit.readAll().contains(start), start.constData());
    QVERIFY(QFileInfo::exists(landed + QStringLiteral("/service.env.example")));
}

void Install::userServicePassesTheVerifier()
{
    const QString analyzer = QStandardPaths::findExecutable(QStringLiteral("systemd-analyze"));
    if (analyzer.isEmpty())
        QSKIP("systemd-analyze is not installed (Debian package systemd)");
    // A user manager of its own needs a runtime folder, which a session gives and a
    // test machine (root in a container, no session) does not. The unit's manual page
    // is looked up where this prefix installed it.
    QTemporaryDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.insert(QStringLiteral("MANPATH"), installed(QStringLiteral("share/man")));
    const Finished verification = run(
        analyzer, {QStringLiteral("--user"), QStringLiteral("verify"), installed(QStringLiteral("share/systemd/user/veltrase.service"))},
        environment);
    QVERIFY2(verification.exitCode == 0 && verification.output.isEmpty(), verification.output.constData());
}

QTEST_GUILESS_MAIN(Install)
#include "tst_install.moc"
