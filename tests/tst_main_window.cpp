#include "app/application_look.h"
#include "app/form2.h"
#include "support/fake_platform.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>

// The window as designed: every control where it belongs, with its caption, and
// the menus with their access keys.
class MainWindow : public QObject {
    Q_OBJECT

private slots:
    void controlsSitWhereDesigned_data();
    void controlsSitWhereDesigned();
    void opensWithTheDesignedState();
    void menusCarryTheirAccessKeys();
    void tabOrderFollowsTheDesign();
    void captionsFitTheirControls();
};

void MainWindow::controlsSitWhereDesigned_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("twips");

    const struct {
        const char* name;
        const char* container;
        QRect twips;
    } design[] = {
        {"Frame1", "clientArea", {0, 60, 10515, 1875}},
        {"start_button", "Frame1", {120, 180, 615, 675}},
        {"stop_button", "Frame1", {795, 180, 615, 675}},
        {"cmdOpen", "Frame1", {1485, 180, 615, 675}},
        {"cmdSave", "Frame1", {2160, 180, 615, 675}},
        {"fraInterval", "Frame1", {2880, 180, 2655, 735}},
        {"Label1", "fraInterval", {120, 255, 675, 255}},
        {"txt_interval", "fraInterval", {780, 240, 495, 285}},
        {"chk_random", "fraInterval", {1320, 240, 1275, 255}},
        {"FraCurrent", "Frame1", {120, 960, 5415, 735}},
        {"txt_url1", "FraCurrent", {120, 255, 4155, 255}},
        {"url1_count_txt", "FraCurrent", {4440, 240, 555, 285}},
        {"FraPlaylist", "Frame1", {5640, 180, 4845, 1500}},
        {"lstPlayList", "FraPlaylist", {120, 120, 3495, 840}},
        {"cmdRemoveItem", "FraPlaylist", {3840, 150, 795, 220}},
        {"cmdAddItem", "FraPlaylist", {3840, 400, 795, 220}},
        {"txtItemToAdd", "FraPlaylist", {120, 1080, 3495, 315}},
        {"ckCache", "FraPlaylist", {3680, 720, 1025, 255}},
        {"ckExit", "FraPlaylist", {3680, 940, 855, 255}},
        {"ckLoop", "FraPlaylist", {3680, 1180, 855, 255}},
        {"Frame2", "clientArea", {0, 1980, 10515, 5295}},
        {"WebBrowser1", "Frame2", {60, 180, 10335, 4935}},
    };
    for (const auto& control : design)
        QTest::newRow(control.name) << QString::fromLatin1(control.name) << QString::fromLatin1(control.container)
                                    << control.twips;
}

void MainWindow::controlsSitWhereDesigned()
{
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QRect, twips);
    FakePlatform fakes;
    // Placed as created, before any layout runs on a resize.
    form2 form(fakes.platform());

    auto* control = form.findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget()->objectName(), container);
    // Within one pixel of the design, since twips are rounded to whole pixels.
    const QRect expected(qRound(twips.x() / 15.0), qRound(twips.y() / 15.0), qRound(twips.width() / 15.0),
                         qRound(twips.height() / 15.0));
    const QRect actual = control->geometry();
    QVERIFY2(qAbs(actual.x() - expected.x()) <= 1 && qAbs(actual.y() - expected.y()) <= 1
                 && qAbs(actual.width() - expected.width()) <= 1 && qAbs(actual.height() - expected.height()) <= 1,
             qPrintable(QStringLiteral("%1 at %2,%3 %4x%5").arg(name).arg(actual.x()).arg(actual.y()).arg(actual.width()).arg(actual.height())));
}

void MainWindow::opensWithTheDesignedState()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    QVERIFY(fakes.browser->isHidden());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QCOMPARE(form.windowTitle(), QStringLiteral("Veltrase Pro Version"));
    QCOMPARE(form.clientArea->size(), QSize(704, 494));
    QCOMPARE(form.txt_interval->text(), QStringLiteral("30"));
    QVERIFY(!form.chk_random->isChecked());
    QCOMPARE(form.chk_random->text(), QStringLiteral("Random - N"));
    QVERIFY(form.ckCache->isChecked());
    QCOMPARE(form.ckCache->text(), QStringLiteral("No Cache"));
    QVERIFY(form.ckLoop->isChecked());
    QVERIFY(!form.ckExit->isChecked());
    QCOMPARE(form.lstPlayList->count(), 0);
    QVERIFY(form.txt_url1->text().isEmpty());
    QVERIFY(form.url1_count_txt->text().isEmpty());
    QVERIFY(fakes.browser->navigations.isEmpty());
    QCOMPARE(form.FraCurrent->title(), QStringLiteral("Current URL"));
    QCOMPARE(form.Label1->text(), QStringLiteral("Interval"));
    QCOMPARE(form.cmdAddItem->text(), QStringLiteral("Add"));
    QCOMPARE(form.cmdRemoveItem->text(), QStringLiteral("Remove"));
    QCOMPARE(form.txt_url1->toolTip(), QStringLiteral("Enter a URL here."));

    const QStringList tooltips = {form.start_button->toolTip(), form.stop_button->toolTip(), form.cmdOpen->toolTip(),
                                  form.cmdSave->toolTip()};
    QCOMPARE(tooltips, (QStringList{QStringLiteral("Start Browsing"), QStringLiteral("Stop Browsing"),
                                    QStringLiteral("Load Settings."), QStringLiteral("Save Settings.")}));
    // The picture buttons show a picture and no text.
    for (QPushButton* button : {form.start_button, form.stop_button, form.cmdOpen, form.cmdSave}) {
        QVERIFY(button->text().isEmpty());
        QVERIFY2(!button->icon().isNull(), qPrintable(button->objectName()));
    }
    QVERIFY(!form.windowIcon().isNull());
}

void MainWindow::menusCarryTheirAccessKeys()
{
    FakePlatform fakes;
    form2 form(fakes.platform());

    auto captions = [](QMenu* menu) {
        QStringList result;
        for (QAction* action : menu->actions())
            result << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return result;
    };
    QCOMPARE(form.File->title(), QStringLiteral("&File"));
    QCOMPARE(captions(form.File), (QStringList{QStringLiteral("St&art"), QStringLiteral("S&top"), QStringLiteral("-"),
                                               QStringLiteral("&Open"), QStringLiteral("&Save"), QStringLiteral("-"),
                                               QStringLiteral("&Hide"), QStringLiteral("-"), QStringLiteral("E&xit")}));
    QCOMPARE(form.Help->title(), QStringLiteral("&Help"));
    QCOMPARE(captions(form.Help), (QStringList{QStringLiteral("&Contents"), QStringLiteral("&License"),
                                               QStringLiteral("-"), QStringLiteral("&About")}));
    for (QAction* action : form.File->actions() + form.Help->actions()) {
        QVERIFY(action->shortcut().isEmpty());
        QVERIFY(!action->isCheckable());
        QVERIFY(action->isEnabled());
    }
}

void MainWindow::tabOrderFollowsTheDesign()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // The browser takes focus in its turn once a run shows it.
    form.WebBrowser1->setVisible(true);

    QStringList order;
    QWidget* control = form.start_button;
    for (int i = 0; i < 16; ++i) {
        order << control->objectName();
        control = control->nextInFocusChain();
        while (control->focusPolicy() == Qt::NoFocus || !control->isVisibleTo(&form) || control->objectName().isEmpty())
            control = control->nextInFocusChain();
    }
    QCOMPARE(order, (QStringList{QStringLiteral("start_button"), QStringLiteral("stop_button"), QStringLiteral("cmdOpen"),
                                 QStringLiteral("cmdSave"), QStringLiteral("WebBrowser1"), QStringLiteral("url1_count_txt"),
                                 QStringLiteral("txt_url1"), QStringLiteral("chk_random"), QStringLiteral("txt_interval"),
                                 QStringLiteral("txtItemToAdd"), QStringLiteral("cmdAddItem"),
                                 QStringLiteral("cmdRemoveItem"), QStringLiteral("lstPlayList"), QStringLiteral("ckLoop"),
                                 QStringLiteral("ckExit"), QStringLiteral("ckCache")}));
}

void MainWindow::captionsFitTheirControls()
{
    applyApplicationLook(*qApp);
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    // The longest captions each box or label may carry, in the program's own font.
    const struct {
        QWidget* control;
        QString caption;
    } captions[] = {
        {form.Label1, QStringLiteral("Interval")},     {form.chk_random, QStringLiteral("Random - N")},
        {form.chk_random, QStringLiteral("Random - Y")}, {form.ckCache, QStringLiteral("No Cache")},
        {form.ckExit, QStringLiteral("Exit")},         {form.ckLoop, QStringLiteral("Loop")},
    };
    QCOMPARE(QFontInfo(form.font()).family(), QStringLiteral("Liberation Sans"));
    for (const auto& [control, caption] : captions) {
        const int needed = control->fontMetrics().horizontalAdvance(caption);
        int room = control->width();
        if (auto* check = qobject_cast<QCheckBox*>(control)) {
            // The room the style leaves for the caption beside the tick.
            QStyleOptionButton option;
            option.initFrom(check);
            room = check->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, check).width();
        }
        QVERIFY2(needed <= room, qPrintable(QStringLiteral("%1: needs %2, has %3").arg(caption).arg(needed).arg(room)));
    }
    for (QPushButton* button : {form.cmdAddItem, form.cmdRemoveItem})
        QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + 8 <= button->width(),
                 qPrintable(button->text()));
}

QTEST_MAIN(MainWindow)
#include "tst_main_window.moc"
