#include "app/form2.h"
#include "browse/webengine/webengine_browser.h"
#include "support/fake_platform.h"
#include "support/webengine_test_main.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <QWebEngineView>
#include <QtTest>

// The Help menu's two pages: where the window looks for them, what the real browser
// shows, how they meet a run, and whether the pages that ship say what they should.
class HelpPages : public QObject {
    Q_OBJECT

private slots:
    void pagePathIsTheProgramFolderJoinedAsItIs_data();
    void pagePathIsTheProgramFolderJoinedAsItIs();
    void shippedPagesShowInTheHiddenBrowser_data();
    void shippedPagesShowInTheHiddenBrowser();
    void licenceDuringARunShowsAtOnceAndTheRunMovesOn();
    void helpNamesEveryControlAndMenuItem();
    void licencePageCarriesTheRepositoryLicence();
};

namespace {

const QString kBuiltProgramFolder = QStringLiteral(VELTRASE_BUILT_PROGRAM_FOLDER);

// A page's readable text: tags, entities and line breaks as a reader sees them.
QString readableText(const QString& pagePath)
{
    QFile file(pagePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QTextDocumentFragment::fromHtml(QString::fromUtf8(file.readAll())).toPlainText();
    return text.simplified();
}

QString withoutAccessKey(QString caption)
{
    return caption.remove(QLatin1Char('&'));
}

Platform onRealEngine(FakePlatform& fakes, const QString& programFolder)
{
    Platform platform = fakes.platform({}, programFolder);
    platform.makeBrowser = [](QWidget* parent) { return new WebEngineBrowser(parent); };
    return platform;
}

} // namespace

void HelpPages::pagePathIsTheProgramFolderJoinedAsItIs_data()
{
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("expected");

    QTest::newRow("contents") << "/usr/lib/veltrase" << "Contents" << "/usr/lib/veltrase/help.html";
    QTest::newRow("license") << "/usr/lib/veltrase" << "License" << "/usr/lib/veltrase/license-pro.html";
    QTest::newRow("blanks kept") << "/home/me/my programs/veltrase 3" << "Contents"
                                 << "/home/me/my programs/veltrase 3/help.html";
    QTest::newRow("root folder") << "/" << "License" << "//license-pro.html";
}

void HelpPages::pagePathIsTheProgramFolderJoinedAsItIs()
{
    QFETCH(QString, programFolder);
    QFETCH(QString, item);
    QFETCH(QString, expected);
    FakePlatform fakes;
    form2 form(fakes.platform({}, programFolder));

    form.findChild<QAction*>(item)->trigger();

    QCOMPARE(fakes.browser->files, QStringList{expected});
    QVERIFY(fakes.browser->navigations.isEmpty());
    QVERIFY(fakes.browser->silent);
    QVERIFY(fakes.messages.shown.isEmpty());
}

void HelpPages::shippedPagesShowInTheHiddenBrowser_data()
{
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("title");

    QTest::newRow("contents") << kBuiltProgramFolder << "Contents" << "Veltrase Help";
    QTest::newRow("license") << kBuiltProgramFolder << "License" << "Veltrase License";
    // No page there: the browser shows its own error page, the program says nothing.
    QTest::newRow("missing page") << QString() << "Contents" << QString();
    // Installed where a folder's name could be read as a query or a fragment.
    QTest::newRow("folder named with # ? %") << QStringLiteral("odd") << "Contents" << "Veltrase Help";
}

void HelpPages::shippedPagesShowInTheHiddenBrowser()
{
    QFETCH(QString, programFolder);
    QFETCH(QString, item);
    QFETCH(QString, title);
    QTemporaryDir otherFolder(QDir::tempPath() + QStringLiteral("/odd #?% XXXXXX"));
    if (programFolder == QLatin1String("odd"))
        QVERIFY(QFile::copy(kBuiltProgramFolder + QStringLiteral("/help.html"), otherFolder.filePath("help.html")));
    if (programFolder.isEmpty() || programFolder == QLatin1String("odd"))
        programFolder = otherFolder.path();
    FakePlatform fakes;
    form2 form(onRealEngine(fakes, programFolder));
    form.show();
    QVERIFY(form.WebBrowser1->isHidden());
    QSignalSpy completed(form.WebBrowser1, &WebBrowser::DocumentComplete);

    form.findChild<QAction*>(item)->trigger();

    QVERIFY(form.WebBrowser1->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!completed.isEmpty(), 60000);
    QWebEngineView* view = static_cast<WebEngineBrowser*>(form.WebBrowser1)->view();
    QCOMPARE(view->url().toLocalFile(), programFolder + QLatin1Char('/') + (item == "Contents" ? "help.html" : "license-pro.html"));
    if (!title.isEmpty())
        QTRY_COMPARE(view->title(), title);
    QVERIFY(fakes.messages.shown.isEmpty());
    for (QWidget* window : QApplication::topLevelWidgets())
        QVERIFY2(window == &form || !window->isVisible(), qPrintable(window->objectName()));
}

void HelpPages::licenceDuringARunShowsAtOnceAndTheRunMovesOn()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.ckCache->setChecked(false);
    form.ckLoop->setChecked(false);
    form.txt_interval->setText(QStringLiteral("2"));
    form.lstPlayList->addItems({QStringLiteral("http://a.test/"), QStringLiteral("http://b.test/")});
    QString currentUrlWhileLicenceShows;
    QStringList navigationsAtLicence;
    fakes.pump.at(500, [&] {
        form.License_Click();
        currentUrlWhileLicenceShows = form.txt_url1->text();
        navigationsAtLicence = fakes.browser->navigations;
    });

    form.start_button_Click();

    QCOMPARE(navigationsAtLicence, QStringList{QStringLiteral("http://a.test/")});
    QCOMPARE(fakes.browser->files, QStringList{QStringLiteral("/opt/veltrase/license-pro.html")});
    QCOMPARE(currentUrlWhileLicenceShows, QStringLiteral("http://a.test/"));
    // The rest of the first dwell, then the second entry replaces the licence.
    QCOMPARE(fakes.browser->navigations.last(), QStringLiteral("http://b.test/"));
    QCOMPARE(fakes.browser->navigations.size(), 2);
    QCOMPARE(fakes.pump.now, 4000);
    QCOMPARE(form.url1_count_txt->text(), QStringLiteral("1"));
}

void HelpPages::helpNamesEveryControlAndMenuItem()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    const QString help = readableText(kBuiltProgramFolder + QStringLiteral("/help.html"));
    QVERIFY(!help.isEmpty());

    QStringList names;
    for (QPushButton* button : {form.start_button, form.stop_button, form.cmdOpen, form.cmdSave})
        names << button->toolTip();
    names << form.txt_url1->toolTip() << form.Label1->text() << form.FraCurrent->title();
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             form.cmdAddItem, form.cmdRemoveItem, form.chk_random, form.ckCache, form.ckExit, form.ckLoop})
        names << button->text();
    for (QMenu* menu : {form.File, form.Help}) {
        names << withoutAccessKey(menu->title());
        for (QAction* action : menu->actions())
            if (!action->isSeparator())
                names << withoutAccessKey(action->text());
    }
    // The captions that the check boxes and the Hide item switch to.
    names << QStringLiteral("Random - Y") << QStringLiteral("Cache") << QStringLiteral("Show");

    for (const QString& name : names)
        QVERIFY2(help.contains(name), qPrintable(name));
    for (const char* option : {"/f=", "/t=", "/r=Y", "--help", "--version", "CR LF", "Windows-1252"})
        QVERIFY2(help.contains(QLatin1String(option)), option);
}

void HelpPages::licencePageCarriesTheRepositoryLicence()
{
    QFile licenceFile(QStringLiteral(VELTRASE_SOURCE_DIR "/LICENSE"));
    QVERIFY(licenceFile.open(QIODevice::ReadOnly));
    const QString licence = QString::fromUtf8(licenceFile.readAll()).simplified();
    QVERIFY(licence.startsWith(QLatin1String("MIT License")));

    QVERIFY(readableText(kBuiltProgramFolder + QStringLiteral("/license-pro.html")).contains(licence));
}

VELTRASE_WEBENGINE_TEST_MAIN(HelpPages)
#include "tst_help_pages.moc"
