#include "browse/dwell_interval.h"
#include "browse/no_cache_stamp.h"
#include "support/fake_window.h"

#include <QtTest>

// The browse cycle and the dwell wait on virtual time, through the real BrowseList
// and pause: a dwell of 30 seconds takes no time at all here.
class BrowseRules : public QObject {
    Q_OBJECT

private slots:
    void runs_data();
    void runs();
    void noCacheStampReachesTheServerUnchanged();
    void intervalTextDecidesTheDwell();
    void randomDwellDrawsEveryStage();
};

void BrowseRules::runs_data()
{
    // Entries are one letter each, shown a second each. At each moment of the script, in
    // virtual milliseconds: stop, exit (Exit ticked), start (Start pressed again), passes
    // (the count set to 32766), t30 (a 30-second interval), =xy (the list replaced by x and
    // y), +b (b added).
    QTest::addColumn<QString>("entries");
    QTest::addColumn<bool>("loop");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("navigated");
    QTest::addColumn<QString>("count");
    QTest::addColumn<qint64>("endMs"); // -1: any
    QTest::addColumn<bool>("ended");

    QTest::newRow("one pass") << "abc" << false << ""
                              << "abc"
                              << "1" << 3000LL << false;
    // Stop ends the run at the click; a pass it cuts short is not counted.
    QTest::newRow("Stop on the middle entry") << "abc" << false << "1550:stop"
                                              << "ab"
                                              << "0" << 1550LL << false;
    QTest::newRow("Stop on the last entry") << "abc" << false << "2550:stop"
                                            << "abc"
                                            << "0" << 2550LL << false;
    QTest::newRow("same with Loop") << "abc" << true << "2550:stop"
                                    << "abc"
                                    << "0" << 2550LL << false;
    QTest::newRow("Stop in a later pass") << "abc" << true << "3550:stop"
                                          << "abca"
                                          << "1" << 3550LL << false;
    QTest::newRow("Stop inside a long stage") << "ab" << false << "0:t30 10100:stop"
                                              << "a"
                                              << "0" << 10100LL << false;
    QTest::newRow("Exit in the only pass") << "abc" << false << "500:exit"
                                           << "abc"
                                           << "1" << 3000LL << true;
    QTest::newRow("Exit in pass 2, Stop") << "abc" << true << "3500:exit 3600:stop"
                                          << "abca"
                                          << "1" << -1LL << true;
    QTest::newRow("Exit in pass 1, Stop") << "abc" << true << "500:exit 600:stop"
                                          << "a"
                                          << "0" << -1LL << false;
    // The inner run walks the whole list; the outer one finds the stage counter spent,
    // ends b's wait and goes on with c.
    QTest::newRow("Start again on b") << "abc" << false << "1500:start"
                                      << "ababcc"
                                      << "2" << -1LL << false;
    QTest::newRow("emptied list: a dwell a pass") << "a" << true << "500:= 5500:+b 6500:stop"
                                                  << "ab"
                                                  << "6" << 6500LL << false;
    QTest::newRow("shrunk list ends the pass") << "abcd" << false << "1500:=x"
                                               << "ab"
                                               << "1" << -1LL << false;
    QTest::newRow("count past 32767") << "a" << true << "500:passes 3500:stop"
                                      << "aaaa"
                                      << "32769" << -1LL << false;
}

void BrowseRules::runs()
{
    QFETCH(QString, entries);
    QFETCH(bool, loop);
    QFETCH(QString, script);
    QFETCH(qint64, endMs);
    QFETCH(bool, ended);
    FakeWindow w(entries.split(QString(), Qt::SkipEmptyParts));
    w.form.ckLoop->setChecked(loop);
    for (const QString& step : script.split(u' ', Qt::SkipEmptyParts)) {
        w.fakes.pump.at(step.section(u':', 0, 0).toLongLong(), [&w, action = step.section(u':', 1)] {
            const QMap<QString, std::function<void()>> actions{
                {"stop", [&] { w.form.stop_button_Click(); }},
                {"exit", [&] { w.form.ckExit->setChecked(true); }},
                {"start", [&] { w.form.start_button_Click(); }},
                {"passes", [&] { w.form.PassCount = 32766; }},
                {"t30", [&] { w.form.txt_interval->setText(QStringLiteral("30")); }}};
            if (action.startsWith(u'='))
                w.form.lstPlayList->clear();
            if (action.startsWith(u'=') || action.startsWith(u'+'))
                w.form.lstPlayList->addItems(action.mid(1).split(QString(), Qt::SkipEmptyParts));
            else
                actions.value(action)();
        });
    }
    QStringList countAtEachPage;
    w.browser().onNavigate = [&](const QString&) { countAtEachPage << w.form.url1_count_txt->text(); };

    w.form.start_button_Click();

    QTEST(w.browser().navigations.join(QString()), "navigated");
    QCOMPARE(countAtEachPage.first(), QStringLiteral("0"));
    QTEST(w.form.url1_count_txt->text(), "count");
    if (endMs >= 0)
        QCOMPARE(w.fakes.pump.now, endMs);
    QVERIFY(w.browser().silent);
    QCOMPARE(w.fakes.processEnd.ends > 0, ended);
    // Stopped: the list and the current URL name the page on the screen.
    if (script.contains(u"stop"))
        QVERIFY(w.form.lstPlayList->currentItem()->text() == w.browser().navigations.last()
                && w.form.txt_url1->text() == w.browser().navigations.last());
    QVERIFY(!ended || (w.form.StopFlag == QLatin1String("Y") && w.browser().stops > 0 && w.form.isHidden()));
    // A run that ends by itself leaves the window locked until Stop.
    QCOMPARE(w.editingEnabled(), ended || script.contains(u"stop") ? w.editingControls().size() : 0);
}

void BrowseRules::noCacheStampReachesTheServerUnchanged()
{
    QCOMPARE(noCacheStamp(QDateTime(QDate(2024, 12, 25), QTime(18, 30, 45))), QStringLiteral("20241225183045"));
    const QString stamp = noCacheStamp(QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9)));
    const std::pair<const char*, const char*> urls[] = {{"http://h/p", "http://h/p?202435789"},
                                                        {"http://h/p?a=1", "http://h/p?a=1&202435789"},
                                                        {"http://h/p#top", "http://h/p?202435789#top"},
                                                        {"http://h/?a=1#x?y", "http://h/?a=1&202435789#x?y"},
                                                        {"", "?202435789"},
                                                        {"?", "?&202435789"}};
    for (const auto& [url, stamped] : urls)
        QCOMPARE(withNoCacheStamp(QString::fromUtf8(url), stamp), QString::fromUtf8(stamped));

    // Shown in the current-URL box as it is navigated.
    FakeWindow w({"http://h/a?x=1", "http://h/b"});
    w.form.ckCache->setChecked(true);
    QStringList shownWhileNavigating;
    w.browser().onNavigate = [&](const QString&) { shownWhileNavigating << w.form.txt_url1->text(); };
    w.form.start_button_Click();
    QCOMPARE(w.browser().navigations, (QStringList{"http://h/a?x=1&202435789", "http://h/b?202435789"}));
    QCOMPARE(shownWhileNavigating, w.browser().navigations);
}

void BrowseRules::intervalTextDecidesTheDwell()
{
    const struct {
        QString typed;
        QString shownAfter;
        qint64 stageMs;
    } intervals[] = {{"30", "30", 3000},
                     {"1", "1", 100},
                     {"0", "1", 100},
                     {"-5", "1", 100},
                     {"0.5", "1", 100},
                     {"", "1", 100},
                     {"abc", "1", 100},
                     {"nan", "1", 100},
                     {"inf", "1", 100},
                     {"0x10", "1", 100},
                     {"1,5", "1", 100},
                     {"1e-400", "1", 100},
                     {"0." + QString(330, u'0') + "1", "1", 100}, // below a double, without an exponent
                     {"2.5", "2.5", 200},
                     {"3.5", "3.5", 400},
                     {" 7 ", " 7 ", 700},
                     {"2e1", "2e1", 2000},
                     // held at the longest wait the stages can hold
                     {"1e10", "1e10", kLongestDwellSeconds * 100LL},
                     {"1e999", "1e999", kLongestDwellSeconds * 100LL}};
    for (const auto& interval : intervals) {
        FakeWindow w({"a"});
        w.form.txt_interval->setText(interval.typed);
        w.form.pause();
        QCOMPARE(w.form.txt_interval->text(), interval.shownAfter);
        QVERIFY2(w.fakes.pump.stages == std::vector<qint64>(10, interval.stageMs), qPrintable(interval.typed));
    }
}

void BrowseRules::randomDwellDrawsEveryStage()
{
    // Interval, share drawn, and the dwell of each stage in seconds.
    const std::tuple<const char*, double, int> draws[]
        = {{"30", 0.0, 1}, {"30", 0.99999, 30}, {"30", 0.5, 16}, {"2.5", 0.99, 3}, {"1", 0.99, 1}};
    for (const auto& [interval, share, stageSeconds] : draws) {
        FakeWindow w({"a"});
        w.form.txt_interval->setText(QString::fromUtf8(interval));
        w.form.chk_random->setChecked(true);
        w.fakes.random.shares = {share};
        w.form.pause();
        QCOMPARE(w.fakes.random.reseeds, 10);
        QCOMPARE(w.fakes.random.draws, 10);
        QCOMPARE(w.fakes.pump.now, qint64(stageSeconds) * 1000);
    }
}

QTEST_MAIN(BrowseRules)
#include "tst_browse_rules.moc"
