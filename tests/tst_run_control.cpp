#include "support/fake_window.h"

#include <QtTest>

// Start, Stop, ending the program and the option boxes, as the user meets them.
class RunControl : public QObject {
    Q_OBJECT

private slots:
    void startRefusesAnEmptyPlaylist();
    void stopWhileIdleUnlocksEverything();
    void captionsFollowTheTick();
    void exitExcludesLoop();
    void exitOrClosingDuringARunEndsTheProgram();
};

void RunControl::startRefusesAnEmptyPlaylist()
{
    FakeWindow w;
    w.form.url1_count_txt->setText(QStringLiteral("7"));

    w.form.start_button_Click();

    QCOMPARE(w.fakes.messages.shown, QStringList{"Please enter at least one URL or open a file."});
    QVERIFY(w.form.url1_count_txt->text() == u"7" && w.browser().navigations.isEmpty());
    QCOMPARE(w.editingEnabled(), w.editingControls().size());
}

void RunControl::stopWhileIdleUnlocksEverything()
{
    FakeWindow w;
    for (QWidget* control : w.editingControls())
        control->setEnabled(false);

    w.form.Stop->trigger();

    QVERIFY(w.browser().stops == 1 && w.form.StopFlag == u"Y");
    QCOMPARE(w.editingEnabled(), w.editingControls().size());
}

void RunControl::captionsFollowTheTick()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    for (auto [check, designed, flipped] :
         {std::tuple(form.chk_random, "Random - N", "Random - Y"), std::tuple(form.ckCache, "No Cache", "Cache")}) {
        QCOMPARE(check->text(), designed);
        // A click and a tick set by the program both flip the caption once; setting the
        // tick it already has flips nothing.
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
        QCOMPARE(check->text(), flipped);
        check->setChecked(!check->isChecked());
        check->setChecked(check->isChecked());
        QCOMPARE(check->text(), designed);
    }
}

void RunControl::exitExcludesLoop()
{
    FakePlatform fakes;
    form2 form(fakes.platform());
    QVERIFY(form.ckLoop->isChecked());

    form.ckExit->setChecked(true);
    QVERIFY(!form.ckLoop->isChecked() && !form.ckLoop->isEnabled());
    form.ckExit->setChecked(false);
    QVERIFY(!form.ckLoop->isChecked() && form.ckLoop->isEnabled());
}

void RunControl::exitOrClosingDuringARunEndsTheProgram()
{
    for (const bool closing : {false, true}) {
        FakeWindow w({"a", "b"});
        w.form.show();
        int stopsAtEnd = -1;
        w.fakes.pump.at(500, [&] {
            closing ? void(w.form.close()) : w.form.Exit->trigger();
            stopsAtEnd = w.browser().stops;
            // The fake process end returns; stop the run so the test can finish.
            w.form.StopFlag = QStringLiteral("Y");
        });

        w.form.start_button_Click();

        // Exit stops the browser first; closing ends at once.
        QVERIFY(w.fakes.processEnd.ends > 0 && w.form.isHidden());
        QCOMPARE(stopsAtEnd, closing ? 0 : 1);
        QCOMPARE(w.browser().navigations, QStringList{"a"});
    }
}

QTEST_MAIN(RunControl)
#include "tst_run_control.moc"
