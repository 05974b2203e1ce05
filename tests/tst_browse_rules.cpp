#include "app/form2.h"
#include "browse/dwell_interval.h"
#include "browse/no_cache_stamp.h"
#include "support/fake_platform.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

// The browse cycle and the dwell wait on virtual time, through the real BrowseList
// and pause: a dwell of 30 seconds takes no time at all here.
class BrowseRules : public QObject {
    Q_OBJECT

private slots:
    void threeEntriesWithoutLoopVisitEachOnce();
    void stopDuringADwell_data();
    void stopDuringADwell();
    void exitAtTheEndOfARun_data();
    void exitAtTheEndOfARun();
    void nestedStartSharesTheRunState();
    void noCacheStampReachesTheServerUnchanged_data();
    void noCacheStampReachesTheServerUnchanged();
    void stampedUrlIsShownAndNavigated();
    void intervalTextDecidesTheDwell_data();
    void intervalTextDecidesTheDwell();
    void randomDwellDrawsEveryStage_data();
    void randomDwellDrawsEveryStage();
    void stopEndsTheWaitAtOnce();
    void emptyLoopingListWaitsAndStops();
    void listThatShrinksEndsThePassAtItsNewEnd();
    void passCountKeepsCountingPast32767();
};

namespace {

QStringList list(std::initializer_list<const char*> items)
{
    QStringList result;
    for (const char* item : items)
        result << QString::fromUtf8(item);
    return result;
}

// A window with the given entries, one-second dwell, no stamp, Loop off.
struct Window {
    explicit Window(const QStringList& entries)
        : form(fakes.platform())
    {
        form.ckCache->setChecked(false);
        form.ckLoop->setChecked(false);
        form.txt_interval->setText(QStringLiteral("1"));
        form.lstPlayList->addItems(entries);
    }
    FakeBrowser& browser() { return *fakes.browser; }

    FakePlatform fakes;
    form2 form;
};

} // namespace

void BrowseRules::threeEntriesWithoutLoopVisitEachOnce()
{
    Window w(list({"a", "b", "c"}));

    w.form.start_button_Click();

    QCOMPARE(w.browser().navigations, list({"a", "b", "c"}));
    QVERIFY(w.browser().isVisibleTo(&w.form) || !w.browser().isHidden());
    QVERIFY(w.browser().silent);
    QCOMPARE(w.fakes.pump.now, 3000);
    QCOMPARE(w.fakes.pump.stages, std::vector<qint64>(30, 100));
    QCOMPARE(w.form.url1_count_txt->text(), QStringLiteral("1"));
    // The run ended by itself: the window stays locked until Stop.
    QCOMPARE(w.form.StopFlag, QStringLiteral("N"));
    for (QWidget* control : {static_cast<QWidget*>(w.form.cmdRemoveItem), static_cast<QWidget*>(w.form.cmdAddItem),
                             static_cast<QWidget*>(w.form.chk_random), static_cast<QWidget*>(w.form.url1_count_txt),
                             static_cast<QWidget*>(w.form.txt_interval), static_cast<QWidget*>(w.form.txt_url1)})
        QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
}

void BrowseRules::stopDuringADwell_data()
{
    QTest::addColumn<bool>("loop");
    QTest::addColumn<qint64>("stopAt");
    QTest::addColumn<QStringList>("navigated");
    QTest::addColumn<int>("selectedAtEnd");
    QTest::addColumn<QString>("count");

    // Entries a, b, c with one-second dwells: b shows from 1000 to 2000, c from 2000 to 3000.
    // The run ends at the click, naming the page on the screen; a cut pass is not counted.
    QTest::newRow("middle entry") << false << qint64(1550) << list({"a", "b"}) << 1 << QStringLiteral("0");
    QTest::newRow("last entry") << false << qint64(2550) << list({"a", "b", "c"}) << 2 << QStringLiteral("0");
    QTest::newRow("last entry with Loop") << true << qint64(2550) << list({"a", "b", "c"}) << 2
                                          << QStringLiteral("0");
    QTest::newRow("later pass with Loop") << true << qint64(3550) << list({"a", "b", "c", "a"}) << 0
                                          << QStringLiteral("1");
}

void BrowseRules::stopDuringADwell()
{
    QFETCH(bool, loop);
    QFETCH(qint64, stopAt);
    Window w(list({"a", "b", "c"}));
    w.form.ckLoop->setChecked(loop);
    w.fakes.pump.at(stopAt, [&] { w.form.stop_button_Click(); });

    w.form.start_button_Click();

    QTEST(w.browser().navigations, "navigated");
    QCOMPARE(w.fakes.pump.now, stopAt);
    QTEST(w.form.lstPlayList->currentRow(), "selectedAtEnd");
    QCOMPARE(w.form.txt_url1->text(), w.form.lstPlayList->currentItem()->text());
    QTEST(w.form.url1_count_txt->text(), "count");
    QVERIFY(w.form.cmdAddItem->isEnabled());
    QCOMPARE(w.fakes.processEnd.ends, 0);
}

void BrowseRules::exitAtTheEndOfARun_data()
{
    QTest::addColumn<bool>("loop");
    QTest::addColumn<qint64>("tickExitAt");
    QTest::addColumn<qint64>("stopAt");
    QTest::addColumn<bool>("ended");

    QTest::newRow("ticked in the first pass") << false << qint64(500) << qint64(-1) << true;
    QTest::newRow("ticked in a later pass, then Stop") << true << qint64(3500) << qint64(3600) << true;
    QTest::newRow("ticked in the first pass, then Stop") << true << qint64(500) << qint64(600) << false;
}

void BrowseRules::exitAtTheEndOfARun()
{
    QFETCH(bool, loop);
    QFETCH(qint64, tickExitAt);
    QFETCH(qint64, stopAt);
    Window w(list({"a", "b", "c"}));
    w.form.ckLoop->setChecked(loop);
    w.fakes.pump.at(tickExitAt, [&] { w.form.ckExit->setChecked(true); });
    if (stopAt >= 0)
        w.fakes.pump.at(stopAt, [&] { w.form.stop_button_Click(); });

    w.form.start_button_Click();

    QTEST(w.fakes.processEnd.ends > 0, "ended");
    // Exit excludes Loop as soon as it is ticked.
    QVERIFY(!w.form.ckLoop->isChecked());
    QVERIFY(!w.form.ckLoop->isEnabled());
    if (w.fakes.processEnd.ends > 0) {
        QCOMPARE(w.form.StopFlag, QStringLiteral("Y"));
        QVERIFY(w.browser().stops >= 1);
        QVERIFY(w.form.cmdAddItem->isEnabled());
        QVERIFY(w.form.isHidden());
    }
}

void BrowseRules::nestedStartSharesTheRunState()
{
    Window w(list({"a", "b", "c"}));
    // Start again while b is showing: the inner run walks the whole list, then the
    // outer one finds the stage counter spent, ends b's wait and goes on with c.
    w.fakes.pump.at(1500, [&] { w.form.start_button_Click(); });

    w.form.start_button_Click();

    QCOMPARE(w.browser().navigations, list({"a", "b", "a", "b", "c", "c"}));
    QCOMPARE(w.form.url1_count_txt->text(), QStringLiteral("2"));
}

void BrowseRules::noCacheStampReachesTheServerUnchanged_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("stamped");

    const QString s = QStringLiteral("202435789");
    QTest::newRow("no query") << QStringLiteral("http://h/p") << QStringLiteral("http://h/p?") + s;
    QTest::newRow("query") << QStringLiteral("http://h/p?a=1") << QStringLiteral("http://h/p?a=1&") + s;
    QTest::newRow("fragment") << QStringLiteral("http://h/p#top") << QStringLiteral("http://h/p?") + s + QStringLiteral("#top");
    QTest::newRow("query and fragment") << QStringLiteral("http://h/?a=1#x?y")
                                        << QStringLiteral("http://h/?a=1&") + s + QStringLiteral("#x?y");
    QTest::newRow("empty entry") << QString() << QStringLiteral("?") + s;
    QTest::newRow("question mark alone") << QStringLiteral("?") << QStringLiteral("?&") + s;
}

void BrowseRules::noCacheStampReachesTheServerUnchanged()
{
    QFETCH(QString, url);
    QTEST(withNoCacheStamp(url, noCacheStamp(QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9)))), "stamped");
    QCOMPARE(noCacheStamp(QDateTime(QDate(2024, 12, 25), QTime(18, 30, 45))), QStringLiteral("20241225183045"));
}

void BrowseRules::stampedUrlIsShownAndNavigated()
{
    Window w(list({"http://h/a?x=1", "http://h/b"}));
    w.form.ckCache->setChecked(true);
    QStringList shownWhileNavigating;
    w.browser().onNavigate = [&](const QString&) { shownWhileNavigating << w.form.txt_url1->text(); };

    w.form.start_button_Click();

    QCOMPARE(w.browser().navigations, list({"http://h/a?x=1&202435789", "http://h/b?202435789"}));
    QCOMPARE(shownWhileNavigating, w.browser().navigations);
    QCOMPARE(w.form.ckCache->text(), QStringLiteral("No Cache"));
}

void BrowseRules::intervalTextDecidesTheDwell_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shownAfter");
    QTest::addColumn<qint64>("stageMs");

    const QString tiny = QStringLiteral("0.") + QString(330, QLatin1Char('0')) + QStringLiteral("1");
    QTest::newRow("30") << QStringLiteral("30") << QStringLiteral("30") << qint64(3000);
    QTest::newRow("1") << QStringLiteral("1") << QStringLiteral("1") << qint64(100);
    for (const char* notAnInterval : {"0", "-5", "0.5", "", "abc", "nan", "inf", "0x10", "1,5", "1e-400"})
        QTest::newRow(notAnInterval[0] ? notAnInterval : "empty") << QString::fromUtf8(notAnInterval) << QStringLiteral("1") << qint64(100);
    QTest::newRow("below a double, no exponent") << tiny << QStringLiteral("1") << qint64(100);
    QTest::newRow("2.5 rounds to even") << QStringLiteral("2.5") << QStringLiteral("2.5") << qint64(200);
    QTest::newRow("3.5 rounds to even") << QStringLiteral("3.5") << QStringLiteral("3.5") << qint64(400);
    QTest::newRow("spaces around") << QStringLiteral(" 7 ") << QStringLiteral(" 7 ") << qint64(700);
    QTest::newRow("exponent") << QStringLiteral("2e1") << QStringLiteral("2e1") << qint64(2000);
    QTest::newRow("too long is held at the longest wait")
        << QStringLiteral("1e10") << QStringLiteral("1e10") << qint64(kLongestDwellSeconds) * 100;
    QTest::newRow("beyond a double") << QStringLiteral("1e999") << QStringLiteral("1e999")
                                     << qint64(kLongestDwellSeconds) * 100;
}

void BrowseRules::intervalTextDecidesTheDwell()
{
    QFETCH(QString, typed);
    QFETCH(qint64, stageMs);
    Window w(list({"a"}));
    w.form.txt_interval->setText(typed);

    w.form.pause();

    QTEST(w.form.txt_interval->text(), "shownAfter");
    QCOMPARE(w.fakes.pump.stages, std::vector<qint64>(10, stageMs));
}

void BrowseRules::randomDwellDrawsEveryStage_data()
{
    QTest::addColumn<QString>("interval");
    QTest::addColumn<double>("share");
    QTest::addColumn<int>("stageSeconds");

    QTest::newRow("30, lowest share") << QStringLiteral("30") << 0.0 << 1;
    QTest::newRow("30, highest share") << QStringLiteral("30") << 0.99999 << 30;
    QTest::newRow("30, middle") << QStringLiteral("30") << 0.5 << 16;
    QTest::newRow("2.5 uses the fraction") << QStringLiteral("2.5") << 0.99 << 3;
    QTest::newRow("1 is always 1") << QStringLiteral("1") << 0.99 << 1;
}

void BrowseRules::randomDwellDrawsEveryStage()
{
    QFETCH(QString, interval);
    QFETCH(double, share);
    QFETCH(int, stageSeconds);
    Window w(list({"a"}));
    w.form.txt_interval->setText(interval);
    w.form.chk_random->setChecked(true);
    QCOMPARE(w.form.chk_random->text(), QStringLiteral("Random - Y"));
    w.fakes.random.shares = {share};

    w.form.pause();

    QCOMPARE(w.fakes.random.reseeds, 10);
    QCOMPARE(w.fakes.random.draws, 10);
    QCOMPARE(w.fakes.pump.now, qint64(stageSeconds) * 1000);
}

void BrowseRules::stopEndsTheWaitAtOnce()
{
    Window w(list({"a", "b"}));
    w.form.txt_interval->setText(QStringLiteral("30"));
    w.fakes.pump.at(10'100, [&] { w.form.stop_button_Click(); });

    w.form.start_button_Click();

    // In the middle of a three-second stage.
    QCOMPARE(w.fakes.pump.now, 10'100);
    QCOMPARE(w.browser().navigations, list({"a"}));

    // Already stopped when the wait begins: one look at the events, no waiting.
    const int stepsBefore = w.fakes.pump.eventSteps;
    w.form.pause();
    QCOMPARE(w.fakes.pump.eventSteps, stepsBefore + 1);
    QCOMPARE(w.fakes.pump.now, 10'100);
    QCOMPARE(w.fakes.pump.stages.size(), std::size_t(4));
}

void BrowseRules::emptyLoopingListWaitsAndStops()
{
    Window w(list({"a"}));
    w.form.ckLoop->setChecked(true);
    // The list is emptied during the first dwell (a playlist loaded meanwhile), refilled
    // later, and the run is stopped after that entry has been seen again.
    w.fakes.pump.at(500, [&] { w.form.lstPlayList->clear(); });
    w.fakes.pump.at(5'500, [&] { w.form.lstPlayList->addItem(QStringLiteral("b")); });
    w.fakes.pump.at(6'500, [&] { w.form.stop_button_Click(); });

    w.form.start_button_Click();

    QCOMPARE(w.browser().navigations, list({"a", "b"}));
    // One dwell per empty pass: a until 1 s, empty passes ending at 2, 3, 4, 5 and 6 s,
    // then b, stopped in its wait: that pass is not counted.
    QCOMPARE(w.form.url1_count_txt->text(), QStringLiteral("6"));
    QCOMPARE(w.fakes.pump.now, 6'500);
}

void BrowseRules::listThatShrinksEndsThePassAtItsNewEnd()
{
    Window w(list({"a", "b", "c", "d"}));
    w.fakes.pump.at(1'500, [&] {
        w.form.lstPlayList->clear();
        w.form.lstPlayList->addItem(QStringLiteral("x"));
    });

    w.form.start_button_Click();

    QCOMPARE(w.browser().navigations, list({"a", "b"}));
    QCOMPARE(w.form.url1_count_txt->text(), QStringLiteral("1"));
}

void BrowseRules::passCountKeepsCountingPast32767()
{
    Window w(list({"a"}));
    w.form.ckLoop->setChecked(true);
    w.fakes.pump.at(500, [&] { w.form.PassCount = 32'766; });
    w.fakes.pump.at(3'500, [&] { w.form.stop_button_Click(); });

    w.form.start_button_Click();

    QCOMPARE(w.form.url1_count_txt->text(), QStringLiteral("32769"));
    QCOMPARE(w.fakes.processEnd.ends, 0);
}

QTEST_MAIN(BrowseRules)
#include "tst_browse_rules.moc"
