#include "app/form2.h"
#include "support/fake_platform.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

// Start, Stop, ending the program and the option boxes, as the user meets them.
class RunControl : public QObject {
    Q_OBJECT

private slots:
    void startRefusesAnEmptyPlaylist();
    void startShowsZeroBeforeTheFirstPage();
    void stopWhileIdleUnlocksEverything();
    void captionsFollowTheTick_data();
    void captionsFollowTheTick();
    void exitExcludesLoop();
    void exitMenuDuringARunEndsTheProgram();
    void closingTheWindowEndsAtOnce();
};

namespace {

QList<QWidget*> editingControls(form2& form)
{
    return {form.cmdRemoveItem, form.cmdAddItem, form.chk_random, form.url1_count_txt, form.txt_interval, form.txt_url1};
}

} // namespace

void RunControl::startRefusesAnEmptyPlaylist()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.url1_count_txt->setText(QStringLiteral("7"));

    form.start_button_Click();

    QCOMPARE(fakes.messages.shown, QStringList{QStringLiteral("Please enter at least one URL or open a file.")});
    QCOMPARE(form.url1_count_txt->text(), QStringLiteral("7"));
    QCOMPARE(form.StopFlag, QStringLiteral("N"));
    QVERIFY(fakes.browser->navigations.isEmpty());
    for (QWidget* control : editingControls(form))
        QVERIFY(control->isEnabled());
}

void RunControl::startShowsZeroBeforeTheFirstPage()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.ckLoop->setChecked(false);
    form.txt_interval->setText(QStringLiteral("1"));
    form.url1_count_txt->setText(QStringLiteral("5"));
    form.lstPlayList->addItem(QStringLiteral("a"));
    QString countAtFirstPage;
    fakes.browser->onNavigate = [&](const QString&) { countAtFirstPage = form.url1_count_txt->text(); };

    form.start_button_Click();

    QCOMPARE(countAtFirstPage, QStringLiteral("0"));
}

void RunControl::stopWhileIdleUnlocksEverything()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    for (QWidget* control : editingControls(form))
        control->setEnabled(false);

    form.Stop_Click();

    QCOMPARE(fakes.browser->stops, 1);
    QCOMPARE(form.StopFlag, QStringLiteral("Y"));
    for (QWidget* control : editingControls(form))
        QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
}

void RunControl::captionsFollowTheTick_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("designed");
    QTest::addColumn<QString>("flipped");

    QTest::newRow("random") << QStringLiteral("chk_random") << QStringLiteral("Random - N") << QStringLiteral("Random - Y");
    QTest::newRow("cache") << QStringLiteral("ckCache") << QStringLiteral("No Cache") << QStringLiteral("Cache");
}

void RunControl::captionsFollowTheTick()
{
    QFETCH(QString, box);
    QFETCH(QString, designed);
    QFETCH(QString, flipped);
    FakePlatform fakes;
    form2 form(fakes.platform());
    auto* check = form.findChild<QCheckBox*>(box);
    QVERIFY(check);
    QCOMPARE(check->text(), designed);

    // A click and a tick set by the program both flip the caption once.
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
    QCOMPARE(check->text(), flipped);
    check->setChecked(!check->isChecked());
    QCOMPARE(check->text(), designed);
    // Setting the tick it already has is no change and flips nothing.
    check->setChecked(check->isChecked());
    QCOMPARE(check->text(), designed);
}

void RunControl::exitExcludesLoop()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    QVERIFY(form.ckLoop->isChecked());

    form.ckExit->setChecked(true);
    QVERIFY(!form.ckLoop->isChecked());
    QVERIFY(!form.ckLoop->isEnabled());

    form.ckExit->setChecked(false);
    QVERIFY(!form.ckLoop->isChecked());
    QVERIFY(form.ckLoop->isEnabled());
}

void RunControl::exitMenuDuringARunEndsTheProgram()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.show();
    form.txt_interval->setText(QStringLiteral("1"));
    form.lstPlayList->addItems({QStringLiteral("a"), QStringLiteral("b")});
    fakes.pump.at(500, [&] { form.Exit->trigger(); });

    form.start_button_Click();

    QVERIFY(fakes.processEnd.ends > 0);
    QCOMPARE(fakes.browser->stops, 1);
    QCOMPARE(form.StopFlag, QStringLiteral("Y"));
    QVERIFY(form.isHidden());
}

void RunControl::closingTheWindowEndsAtOnce()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    form.show();
    form.lstPlayList->addItem(QStringLiteral("a"));
    fakes.pump.at(500, [&] {
        form.close();
        // Ended at once, without stopping the browser first.
        QCOMPARE(fakes.processEnd.ends, 1);
        QCOMPARE(fakes.browser->stops, 0);
        // The fake process end returns; stop the run so the test can finish.
        form.StopFlag = QStringLiteral("Y");
    });

    form.start_button_Click();
    QCOMPARE(fakes.processEnd.ends, 1);
}

QTEST_MAIN(RunControl)
#include "tst_run_control.moc"
