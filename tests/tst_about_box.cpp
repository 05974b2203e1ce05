#include "about/frmabout.h"
#include "app/application_look.h"
#include "app/form2.h"
#include "support/fake_platform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

// The About box: one shared box that never blocks the main window, closed alike by
// every way out, and loaded afresh on each opening.
class AboutBox : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void opensAsASeparateFixedBoxAtItsPlace();
    void secondAboutBringsTheOpenBoxToTheFront();
    void everyWayOutClosesAndReopeningReadsTheSame_data();
    void everyWayOutClosesAndReopeningReadsTheSame();
    void textsFitTheirLabels_data();
    void textsFitTheirLabels();
    void runAndMainWindowKeepWorkingWhileTheBoxIsOpen();
};

namespace {

// How the user leaves the box.
enum WayOut { ClickOK, PressEnter, PressReturn, PressEscape, CloseBox };

QStringList shownTexts(const frmAbout& box)
{
    return {box.windowTitle(), box.lblTitle->text(), box.lblVersion->text(), box.lblDescription->text(),
            box.lblDisclaimer->text()};
}

int visibleAboutBoxes()
{
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        count += qobject_cast<frmAbout*>(window) && window->isVisible() ? 1 : 0;
    return count;
}

} // namespace

void AboutBox::initTestCase()
{
    // The program's own font and style: the label sizes were chosen for them.
    applyApplicationLook(*qApp);
}

void AboutBox::opensAsASeparateFixedBoxAtItsPlace()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.show();

    form.About->trigger();

    frmAbout* box = form.aboutBox();
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QVERIFY(box->isWindow());
    QCOMPARE(box->parentWidget(), nullptr);
    QVERIFY(!box->isModal());
    QCOMPARE(QApplication::modalWindow(), nullptr);
    // 3210 × 2775 twips at 2340, 1935: the client area, which cannot be resized.
    QCOMPARE(box->geometry(), QRect(156, 129, 214, 185));
    QCOMPARE(box->minimumSize(), box->maximumSize());
    QVERIFY(!(box->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(box->windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!box->windowIcon().isNull());
}

void AboutBox::secondAboutBringsTheOpenBoxToTheFront()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.show();
    form.About->trigger();
    frmAbout* box = form.aboutBox();
    QTRY_VERIFY(box->isActiveWindow());
    form.activateWindow();
    QTRY_VERIFY(form.isActiveWindow());

    form.About->trigger();

    QCOMPARE(form.aboutBox(), box);
    QCOMPARE(visibleAboutBoxes(), 1);
    QTRY_VERIFY(box->isActiveWindow());
}

void AboutBox::everyWayOutClosesAndReopeningReadsTheSame_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("OK clicked") << int(ClickOK);
    QTest::newRow("Enter") << int(PressEnter);
    QTest::newRow("Return") << int(PressReturn);
    QTest::newRow("Esc") << int(PressEscape);
    QTest::newRow("close box") << int(CloseBox);
}

void AboutBox::everyWayOutClosesAndReopeningReadsTheSame()
{
    QFETCH(int, way);
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.show();
    form.About->trigger();
    frmAbout* box = form.aboutBox();
    const QStringList expected = {
        QStringLiteral("About Veltrase"), QStringLiteral("Veltrase"), QStringLiteral("Version 3.1.1"),
        QStringLiteral("This program simulates network activity to keep your Internet connection alive."),
        box->lblDisclaimer->text()};
    QCOMPARE(shownTexts(*box), expected);
    QVERIFY(expected.last().startsWith(QLatin1String("Warning: ")));
    QVERIFY(expected.last() != QLatin1String("Warning: ..."));
    QTRY_COMPARE(QApplication::focusWidget(), box->cmdOK);

    switch (way) {
    case ClickOK:
        QTest::mouseClick(box->cmdOK, Qt::LeftButton);
        break;
    case PressEnter:
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        break;
    case PressReturn:
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        break;
    case PressEscape:
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        break;
    case CloseBox:
        QVERIFY(box->close());
        break;
    }
    QTRY_VERIFY(!box->isVisible());
    QVERIFY(!box->isLoaded());
    QVERIFY(form.isVisible());

    form.About->trigger();

    QCOMPARE(form.aboutBox(), box);
    QVERIFY(box->isVisible());
    QCOMPARE(shownTexts(*box), expected);
}

void AboutBox::textsFitTheirLabels_data()
{
    QTest::addColumn<QString>("label");
    for (const char* name : {"lblTitle", "lblVersion", "lblDescription", "lblDisclaimer"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void AboutBox::textsFitTheirLabels()
{
    QFETCH(QString, label);
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.About->trigger();
    const QLabel* shown = form.aboutBox()->findChild<QLabel*>(label);
    QVERIFY(shown);

    const QRect needed = shown->fontMetrics().boundingRect(QRect(QPoint(0, 0), QSize(shown->width(), 10000)),
                                                           Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                                                           shown->text());
    QVERIFY2(needed.width() <= shown->width() && needed.height() <= shown->height(),
             qPrintable(QStringLiteral("%1 needs %2 × %3 of %4 × %5")
                            .arg(shown->text())
                            .arg(needed.width())
                            .arg(needed.height())
                            .arg(shown->width())
                            .arg(shown->height())));
}

void AboutBox::runAndMainWindowKeepWorkingWhileTheBoxIsOpen()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.show();
    form.ckCache->setChecked(false);
    form.txt_interval->setText(QStringLiteral("1"));
    form.lstPlayList->addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    fakes.pump.at(500, [&form] { form.About->trigger(); });
    fakes.pump.at(1500, [&form] { QTest::mouseClick(form.stop_button, Qt::LeftButton); });

    form.start_button_Click();

    // Opened during the first page, the box let the run move on to the second page,
    // where the Stop button, pressed with the box still open, ended it.
    QCOMPARE(fakes.browser->navigations, (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    QCOMPARE(form.StopFlag, QStringLiteral("Y"));
    QVERIFY(form.aboutBox()->isVisible());
}

QTEST_MAIN(AboutBox)
#include "tst_about_box.moc"
