#include "support/fake_window.h"

#include <QtTest>

// Start, ending the program and the option boxes, as the user meets them.
class RunControl : public QObject {
    Q_OBJECT

private slots:
    void startOnAnEmptyPlaylistAsksForAUrl()
    {
        FakeWindow w;
        w.form.start_button_Click();
        QCOMPARE(w.fakes.messages.shown, QStringList{"Please enter at least one URL or open a file."});
    }

    void exitExcludesLoopAndCaptionsFollowTheTicks()
    {
        FakeWindow w;
        w.form.ckLoop->setChecked(true);
        w.form.ckExit->setChecked(true);
        QVERIFY(!w.form.ckLoop->isChecked() && !w.form.ckLoop->isEnabled());
        w.form.ckExit->setChecked(false);
        QVERIFY(w.form.ckLoop->isEnabled());
        // A click and a tick set by the program both flip a caption (the window here has
        // taken the tick off No Cache).
        QTest::mouseClick(w.form.chk_random, Qt::LeftButton, {}, QPoint(6, w.form.chk_random->height() / 2));
        w.form.ckCache->setChecked(true);
        QVERIFY(w.form.chk_random->text() == u"Random - Y" && w.form.ckCache->text() == u"No Cache");
    }

    void exitOrClosingDuringARunEndsTheProgram()
    {
        for (const bool closing : {false, true}) {
            FakeWindow w({"a", "b"});
            w.form.show();
            w.fakes.pump.at(500, [&] {
                closing ? void(w.form.close()) : w.form.Exit->trigger();
                w.form.StopFlag = QStringLiteral("Y"); // the fake process end returns
            });
            w.form.start_button_Click();
            QVERIFY(w.fakes.processEnd.ends > 0 && w.form.isHidden());
            QCOMPARE(w.browser().navigations, QStringList{"a"});
        }
    }
};

QTEST_MAIN(RunControl)
#include "tst_run_control.moc"
