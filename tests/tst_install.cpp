#include <QImageReader>
#include <QtTest>

// Installing into a fresh prefix, as a user or a packager would: every file lies where
// the desktop, the shell and the program itself look for it.
class Install : public QObject {
    Q_OBJECT

private slots:
    void everyFileLiesWhereItIsLookedFor()
    {
        QTemporaryDir prefix, staging, runtime;
        const QString launcher = prefix.filePath("bin/veltrase"), ownUnits = prefix.filePath("share/systemd/user");
        // A user manager needs a runtime folder, which a session gives and a test machine
        // does not; the unit's manual page is looked up in this prefix.
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        qputenv("MANPATH", QFile::encodeName(prefix.filePath("share/man")));

        // Each program must end with status 0, having said what begins so (null: anything;
        // empty: nothing). The installs: into a prefix of one's own, as ~/.local, and into
        // a system one staged with DESTDIR, as a packager does. Then the installed program,
        // and the desktop's validator, the manual's formatter and the unit's verifier.
        const QString cmake = VELTRASE_CMAKE_COMMAND;
        const QStringList install{"--install", VELTRASE_BUILD_DIR, "--prefix"};
        const std::tuple<QString, QStringList, QByteArray> runs[]
            = {{cmake, install + QStringList{prefix.path()}, {}},
               {cmake, QStringList{"-E", "env", "DESTDIR=" + staging.path(), cmake} + install << "/usr", {}},
               {launcher, {"--version"}, "Veltrase 3.1.1"},
               {"desktop-file-validate", {prefix.filePath("share/applications/veltrase.desktop")}, ""},
               {"groff", {"-man", "-Tutf8", "-ww", "-z", prefix.filePath("share/man/man1/veltrase.1")}, ""},
               {"systemd-analyze", {"--user", "verify", ownUnits + "/veltrase.service"}, ""}};
        for (const auto& [program, arguments, said] : runs) {
            // Every checker is installed with the project's own dependencies: one that is
            // missing fails here rather than passing in silence.
            QProcess process;
            process.setProcessChannelMode(QProcess::MergedChannels);
            process.start(program, arguments);
            // A crash's exit code is its signal.
            const bool ended = process.waitForFinished(120000) && process.exitCode() == 0;
            const QByteArray output = process.readAll();
            QVERIFY2(ended && (said.isNull() || (said.isEmpty() ? output.isEmpty() : output.startsWith(said))),
                     qPrintable(program + ": " + output + process.errorString()));
        }

        // The launcher on the path leads to the installed program, not the build tree: the
        // program takes its folder, where the Help menu's pages lie, from it.
        const QDir folder = QFileInfo(QFileInfo(launcher).canonicalFilePath()).dir();
        QVERIFY(folder.path().startsWith(QDir(prefix.path()).canonicalPath() + u'/') && folder.exists("help.html"));

        // The desktop entry names the launcher and an icon the theme holds in each of its sizes.
        QSettings entry(prefix.filePath("share/applications/veltrase.desktop"), QSettings::IniFormat);
        QCOMPARE(prefix.filePath("bin/") + entry.value("Desktop Entry/Exec").toString().section(u' ', 0, 0), launcher);
        const auto icon
            = prefix.filePath("share/icons/hicolor/%1x%1/apps/" + entry.value("Desktop Entry/Icon").toString());
        for (const int size : {16, 32, 48, 64, 128, 256})
            QCOMPARE(QImageReader(icon.arg(size) + ".png").size(), QSize(size, size));

        // The user service lies where the user manager looks for each prefix and starts
        // that prefix's launcher, as the installed system will see it.
        for (const auto& [units, system] :
             {std::pair{ownUnits, prefix.path()},
              std::pair{staging.path() + "/usr/lib/systemd/user", QStringLiteral("/usr")}}) {
            QFile unit(units + "/veltrase.service");
            QVERIFY2(unit.open(QIODevice::ReadOnly) && QFileInfo::exists(units + "/service.env.example")
                         && unit.readAll().contains("\nExecStart=" + QFile::encodeName(system) + "/bin/veltrase /f="),
                     qPrintable(units));
        }
    }
};

QTEST_GUILESS_MAIN(Install)
#include "tst_install.moc"
