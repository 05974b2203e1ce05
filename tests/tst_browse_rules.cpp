#include "browse/dwell_interval.h"
#include "browse/entry_settings.h"
#include "browse/rotation.h"
#include "steer/screen_hours.h"
#include "support/fake_window.h"

#include <QtTest>

// The browse cycle and the dwell wait on virtual time, through the real BrowseList
// and pause: a dwell of 30 seconds takes no time at all here.
class BrowseRules : public QObject {
    Q_OBJECT

private slots:
    void runs_data();
    void runs();
    void commandsAndPreloading_data();
    void commandsAndPreloading();
    void nextPageIsAskedForShortlyBeforeItsTurn();
    void someoneAtThePageHoldsIt();
    void noCacheStampReachesTheServerUnchanged();
    void intervalTextAndRandomDecideTheDwell();
    void entrySettingsAreReadFromTheLine();
    void hoursHoldTheirMoments();
    void entriesFollowTheirOwnSettings_data();
    void entriesFollowTheirOwnSettings();
    void screenHoursDarkenAndLight();
};

void BrowseRules::runs_data()
{
    // Entries are one letter each, shown a second each. At each moment of the script, in
    // virtual milliseconds: stop, exit (Exit ticked), start (Start pressed again), passes
    // (the count set to 32766), t30 (a 30-second interval), = (the list emptied), +xy
    // (x and y added).
    QTest::addColumn<QString>("entries");
    QTest::addColumn<bool>("loop");
    QTest::addColumn<QString>("script");
    QTest::addColumn<qint64>("endMs");
    QTest::addColumn<QString>("navigated");
    QTest::addColumn<bool>("ended");
    QTest::addColumn<int>("count");

    QTest::newRow("one pass") << "abc" << false << "" << 3000LL << "abc" << false << 1;
    // Stop ends the run at the click; a pass it cuts short is not counted.
    QTest::newRow("Stop on the middle entry") << "abc" << false << "1550:stop" << 1550LL << "ab" << false << 0;
    QTest::newRow("Stop on the last entry") << "abc" << false << "2550:stop" << 2550LL << "abc" << false << 0;
    QTest::newRow("Stop in a later pass") << "abc" << true << "3550:stop" << 3550LL << "abca" << false << 1;
    QTest::newRow("Stop inside a long stage") << "ab" << false << "0:t30 10100:stop" << 10100LL << "a" << false << 0;
    QTest::newRow("Exit in the only pass") << "abc" << false << "500:exit" << 3000LL << "abc" << true << 1;
    QTest::newRow("Exit in pass 2, Stop") << "abc" << true << "3500:exit 3600:stop" << 3600LL << "abca" << true << 1;
    QTest::newRow("Exit in pass 1, Stop") << "abc" << true << "500:exit 600:stop" << 600LL << "a" << false << 0;
    // The inner run walks the whole list; the outer one finds the stage counter spent,
    // ends b's wait and goes on with c.
    QTest::newRow("Start again on b") << "abc" << false << "1500:start" << 5500LL << "ababcc" << false << 2;
    QTest::newRow("emptied list dwells") << "a" << true << "500:= 5500:+b 6500:stop" << 6500LL << "ab" << false << 6;
    QTest::newRow("shrunk list ends the pass") << "abcd" << false << "1500:= 1500:+x" << 2000LL << "ab" << false << 1;
    QTest::newRow("count past 32767") << "a" << true << "500:passes 3500:stop" << 3500LL << "aaaa" << false << 32769;
}

void BrowseRules::runs()
{
    QFETCH(QString, entries);
    QFETCH(bool, loop);
    QFETCH(QString, script);
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
                {"t30", [&] { w.form.txt_interval->setText(QStringLiteral("30")); }},
                {"=", [&] { w.form.lstPlayList->clear(); }}};
            if (action.startsWith(u'+'))
                w.form.lstPlayList->addItems(action.mid(1).split(QString(), Qt::SkipEmptyParts));
            else
                actions.value(action)();
        });
    }

    w.form.start_button_Click();

    QTEST(w.browser().navigations.join(QString()), "navigated");
    QTEST(w.form.url1_count_txt->text().toInt(), "count");
    QTEST(w.fakes.pump.now, "endMs");
    QCOMPARE(w.fakes.processEnd.ends > 0 && w.browser().stops > 0 && w.form.isHidden(), ended);
    // Stopped: the list and the current URL name the page on the screen.
    if (script.contains(u"stop"))
        QVERIFY(w.form.lstPlayList->currentItem()->text() == w.browser().navigations.last()
                && w.form.txt_url1->text() == w.browser().navigations.last());
    // A run that ends by itself leaves the window locked until Stop.
    QCOMPARE(w.editingEnabled(), ended || script.contains(u"stop") ? w.editingControls().size() : 0);
    // Locked, no cursor blinks; unlocked, the desktop's blink is back.
    QCOMPARE(QApplication::cursorFlashTime(), w.editingEnabled() ? 1000 : 0);
}

void BrowseRules::commandsAndPreloading_data()
{
    // Entries "abc", a second each, Loop off. Preloading, the browser puts each page on
    // the screen that many milliseconds after it is asked for (-1: no preloading). The
    // script's commands are the rotation's; "show" shows x for 2 seconds.
    QTest::addColumn<int>("drawMs");
    QTest::addColumn<QString>("script");
    QTest::addColumn<qint64>("endMs");
    QTest::addColumn<QString>("navigated");
    // The entry each navigation began under, and the one named when the run ended.
    QTest::addColumn<QString>("namedAtNavigation");
    QTest::addColumn<QString>("named");

    QTest::newRow("next cuts the dwell") << -1 << "550:next" << 2550LL << "abc" << "abc" << "c";
    // Cut in its last tenth, a dwell leaves the next one whole.
    QTest::newRow("next in the last stage") << -1 << "950:next" << 2950LL << "abc" << "abc" << "c";
    QTest::newRow("pause in the last stage") << -1 << "950:pause 3000:resume" << 5000LL << "abc" << "abc" << "c";
    QTest::newRow("previous goes back") << -1 << "1500:previous" << 4500LL << "ababc" << "ababc" << "c";
    QTest::newRow("previous from the first") << -1 << "500:previous" << 1500LL << "ac" << "ac" << "c";
    QTest::newRow("pause until resume") << -1 << "500:pause 5000:resume" << 7000LL << "abc" << "abc" << "c";
    // Someone using the page holds it 3 seconds past their last touch, then the run goes on.
    QTest::newRow("held, held again") << -1 << "500:hold 2000:hold" << 6750LL << "abc" << "abc" << "c";
    QTest::newRow("held from the touch") << -1 << "500:hold" << 5500LL << "abc" << "abc" << "c";
    QTest::newRow("stop while paused") << -1 << "500:pause 800:stop" << 800LL << "a" << "a" << "a";
    QTest::newRow("an address now, then on") << -1 << "500:show" << 4500LL << "axbc" << "axbc" << "c";
    // The dwell counts from the page on the screen, and the window names that page.
    QTest::newRow("preloaded, drawn at once") << 0 << "" << 3000LL << "abc" << "-ab" << "c";
    QTest::newRow("preloaded, drawn late") << 300 << "" << 3900LL << "abc" << "-ab" << "c";
    QTest::newRow("stop before the switch") << 800 << "2000:stop" << 2000LL << "ab" << "-a" << "a";
}

void BrowseRules::commandsAndPreloading()
{
    QFETCH(int, drawMs);
    QFETCH(QString, script);
    FakeWindow w({"a", "b", "c"});
    Rotation& rotation = w.form.rotation();
    rotation.setPreloading(drawMs >= 0);
    QString namedAtNavigation;
    w.browser().onNavigate = [&](const QString&) {
        namedAtNavigation += w.form.txt_url1->text().isEmpty() ? QStringLiteral("-") : w.form.txt_url1->text();
        // A page drawn before its turn goes on the screen as it is asked for.
        if (drawMs == 0)
            emit w.browser().shown();
        else if (drawMs > 0)
            w.fakes.pump.at(w.fakes.pump.now + drawMs, [&] { emit w.browser().shown(); });
    };
    for (const QString& step : script.split(u' ', Qt::SkipEmptyParts)) {
        const QMap<QString, std::function<void()>> actions{{"next", [&] { rotation.next(); }},
                                                           {"previous", [&] { rotation.previous(); }},
                                                           {"pause", [&] { rotation.pause(); }},
                                                           {"resume", [&] { rotation.resume(); }},
                                                           {"hold", [&] { rotation.holdFor(3); }},
                                                           {"show", [&] { rotation.showNow("x", 2); }},
                                                           {"stop", [&] { w.form.stop_button_Click(); }}};
        w.fakes.pump.at(step.section(u':', 0, 0).toLongLong(), actions.value(step.section(u':', 1)));
    }

    w.form.start_button_Click();

    QTEST(w.browser().navigations.join(QString()), "navigated");
    QTEST(namedAtNavigation, "namedAtNavigation");
    QTEST(w.form.txt_url1->text(), "named");
    QTEST(w.fakes.pump.now, "endMs");
    // Each entry but the first is asked for while the one before shows; none after the end.
    QCOMPARE(w.browser().prepared.join(QString()), drawMs >= 0 ? w.browser().navigations.mid(1).join(QString()) : "");
    QCOMPARE(rotation.state(), Rotation::State::Stopped);
}

void BrowseRules::nextPageIsAskedForShortlyBeforeItsTurn()
{
    // Preloading: in a long dwell the next page is asked for 15 s before its turn, so a
    // live page does not redraw underneath for the whole dwell; in a short one at once.
    // A list of one never loads its own page underneath. Loop on, stopped at 62 s.
    for (const auto& [entries, asked] : {std::pair{QStringList{"a /t=60", "b /t=20"}, QString("b@45000 a@65000")},
                                         std::pair{QStringList{"a /t=5", "b"}, QString("b@0 a@5000 b@6000 a@11000")},
                                         std::pair{QStringList{"a"}, QString()}}) {
        FakeWindow w(entries);
        w.form.ckLoop->setChecked(true);
        w.form.rotation().setPreloading(true);
        w.browser().onNavigate = [&](const QString&) { emit w.browser().shown(); };
        QStringList askedAt;
        w.browser().onPrepare = [&](const QString& address) {
            if (!address.isEmpty())
                askedAt << address + "@" + QString::number(w.fakes.pump.now);
        };
        w.fakes.pump.at(asked.count(u'@') > 2 ? 12'000 : 70'000, [&] { w.form.stop_button_Click(); });
        w.form.start_button_Click();
        QCOMPARE(askedAt.join(u' '), asked);
    }
}

void BrowseRules::someoneAtThePageHoldsIt()
{
    // A key on the page half a second in holds it 3 seconds, then the run goes on; a key
    // elsewhere in the window holds nothing.
    for (const bool onThePage : {true, false}) {
        FakePlatform fakes;
        form2 form(fakes.platformWith({.once = true, .cache = true, .pauseOnInputSeconds = 3}));
        form.txt_interval->setText("1");
        form.lstPlayList->addItems({"a", "b"});
        fakes.pump.at(500, [&] { QTest::keyClick(onThePage ? static_cast<QWidget*>(fakes.browser) : form.txt_interval, Qt::Key_A); });
        form.start_button_Click();
        QCOMPARE(fakes.pump.now, onThePage ? 4500 : 2000);
    }
}

void BrowseRules::noCacheStampReachesTheServerUnchanged()
{
    // The fake clock stands at 2024-03-05 07:08:09. The stamp goes before a fragment,
    // which no server sees, and the current-URL box shows it.
    FakeWindow w({"http://h/p", "http://h/p?a=1", "http://h/p#top", "http://h/?a=1#x?y", "?"});
    w.form.ckCache->setChecked(true);
    w.form.start_button_Click();
    QCOMPARE(w.browser().navigations,
             (QStringList{"http://h/p?202435789", "http://h/p?a=1&202435789", "http://h/p?202435789#top",
                          "http://h/?a=1&202435789#x?y", "?&202435789"}));
    QCOMPARE(w.form.txt_url1->text(), w.browser().navigations.last());
}

void BrowseRules::intervalTextAndRandomDecideTheDwell()
{
    // What is not a number of at least one becomes 1; the last is below a double, written
    // without an exponent.
    const QStringList replaced{
        "0", "-5", "0.5", "", "abc", "nan", "inf", "0x10", "1,5", "1e-400", "0." + QString(330, u'0') + "1"};
    // The interval as typed, the share drawn each stage with Random ticked (-1: Random off)
    // and the whole dwell; the last two are held at the longest wait the stages can hold.
    const qint64 longest = kLongestDwellSeconds * 1000LL;
    std::vector<std::tuple<QString, double, qint64>> rows{
        {"1", -1, 1000},     {"30", -1, 30'000},    {"2.5", -1, 2000},       {"3.5", -1, 4000},   {" 7 ", -1, 7000},
        {"2e1", -1, 20'000}, {"30", 0.0, 1000},     {"30", 0.99999, 30'000}, {"30", 0.5, 16'000}, {"2.5", 0.99, 3000},
        {"1", 0.99, 1000},   {"1e10", -1, longest}, {"1e999", -1, longest}};
    for (const QString& typed : replaced)
        rows.emplace_back(typed, -1, 1000);
    for (const auto& [typed, share, dwellMs] : rows) {
        FakeWindow w({"a"});
        w.form.txt_interval->setText(typed);
        w.form.chk_random->setChecked(share >= 0);
        w.fakes.random.shares = {share};
        w.form.pause();
        QCOMPARE(w.form.txt_interval->text(), replaced.contains(typed) ? QStringLiteral("1") : typed);
        // With Random, ten even stages with a fresh draw from a fresh seed for each; without,
        // one wait for the whole dwell, so the window's thread wakes once.
        const auto waits = share >= 0 ? std::vector<qint64>(10, dwellMs / 10) : std::vector<qint64>{dwellMs};
        QVERIFY2(w.fakes.pump.stages == waits, qPrintable(typed));
        QCOMPARE(w.fakes.random.reseeds, share >= 0 ? 10 : 0);
    }
}

void BrowseRules::entrySettingsAreReadFromTheLine()
{
    // The line, then what a run reads of it: address | dwell | zoom | reload | hours given | settings unread.
    const QList<std::pair<QString, QString>> rows{
        {"https://h/p", "https://h/p|||||0"},
        {"https://h/p /t=60 /zoom=150", "https://h/p|60|150|||0"},
        {"https://h/p  /reload=5 /t=2.5  ", "https://h/p|2.5||5||0"},
        {"/srv/my pages /old/welcome.html /hours=Mon-Fri 11:00-14:00", "/srv/my pages /old/welcome.html||||y|0"},
        // A number below a second is a second, as in the interval box.
        {"a /t=0.2", "a|1||||0"},
        {"a /t=soon /zoom=20 /reload=0 /hours=lunch /color=red /x", "a|||||6"},
        // What follows a setting runs to the next " /": a query with "/" stays whole.
        {"http://h/?q=a/b /zoom=500", "http://h/?q=a/b||500|||0"},
    };
    for (const auto& [line, expected] : rows) {
        const EntrySettings read = readEntrySettings(line);
        const auto text = [](auto value) { return value ? QString::number(*value) : QString(); };
        QCOMPARE(QStringList({read.address, text(read.dwellSeconds), text(read.zoomPercent), text(read.reloadSeconds),
                              read.hours ? "y" : "", QString::number(read.problems.size())})
                     .join(u'|'),
                 expected);
    }
}

void BrowseRules::hoursHoldTheirMoments()
{
    // Hours, a local moment (2024-03-04 is a Monday), whether it lies in them, and when
    // they begin next.
    const QList<std::tuple<QString, QString, bool, QString>> rows{
        {"Mon-Fri 08:00-18:00", "2024-03-04 08:00", true, "Tue 08:00"},
        {"Mon-Fri 08:00-18:00", "2024-03-04 18:00", false, "Tue 08:00"},
        {"Mon-Fri 08:00-18:00", "2024-03-09 12:00", false, "Mon 08:00"},
        {"Sat,Sun 10:00-16:00; Wed 9:00-9:30", "2024-03-06 09:29", true, "Sat 10:00"},
        {"mon-fri 08:00-12:00,13:00-18:00", "2024-03-04 12:30", false, "Mon 13:00"},
        // Past midnight into the next day, and round the end of the week.
        {"Fri 22:00-02:00", "2024-03-09 01:59", true, "Fri 22:00"},
        {"Fri 22:00-02:00", "2024-03-09 02:00", false, "Fri 22:00"},
        {"Sun-Mon 12:00-24:00", "2024-03-10 23:59", true, "Mon 12:00"},
        {"07:00-19:00", "2024-03-05 06:59", false, "Tue 07:00"},
    };
    for (const auto& [written, at, inside, next] : rows) {
        const auto hours = ShowingHours::read(written);
        const QDateTime moment = QDateTime::fromString(at, "yyyy-MM-dd HH:mm");
        QVERIFY2(hours && hours->contains(moment) == inside, qPrintable(written + " at " + at));
        QCOMPARE(dayAndTime(hours->nextStart(moment)), next);
    }
    for (const char* unreadable : {"", "Mon-Fri", "8-18", "Mon-Fri 08:00", "Fri-Funday 08:00-09:00", "25:00-26:00",
                                      "08:60-09:00", "24:00-08:00", "Mon 08:00-09:00;"})
        QVERIFY2(!ShowingHours::read(QString::fromLatin1(unreadable)), unreadable);
}

void BrowseRules::entriesFollowTheirOwnSettings_data()
{
    // Entries, each a second unless it says otherwise, on a clock that moves with the
    // run from its start (a Tuesday unless given; the test runs on Berlin's time, which
    // went to summer time at 02:00 on 31 March 2024). The run is stopped at stopMs.
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("loop");
    QTest::addColumn<qint64>("stopMs");
    QTest::addColumn<QString>("navigated");
    QTest::addColumn<QString>("cards");
    QTest::addColumn<int>("told");

    const QString tuesday = "2024-03-05 07:08:09";
    QTest::newRow("own dwell") << QStringList{"a /t=3", "b"} << tuesday << false << 0LL << "a@0 b@3000" << "" << 0;
    QTest::newRow("own zoom, then the session's") << QStringList{"a /zoom=150", "b"} << tuesday << false << 0LL
                                                  << "a@150@0 b@1000" << "" << 0;
    QTest::newRow("reloads while it shows") << QStringList{"a /t=5 /reload=2", "b"} << tuesday << false << 0LL
                                            << "a@0 a@2000 a@4000 b@5000" << "" << 0;
    QTest::newRow("out of its hours, passed over") << QStringList{"a /hours=Mon 08:00-09:00", "b", "c /hours=07:00-08:00"}
                                                   << tuesday << false << 0LL << "b@0 c@1000" << "" << 0;
    // Told once, however many passes show it.
    QTest::newRow("unreadable, the list's own values") << QStringList{"a /t=x /zoom=9 /hue=red", "b"} << tuesday << true
                                                       << 4500LL << "a@0 b@1000 a@2000 b@3000 a@4000" << "" << 3;
    QTest::newRow("all out of hours, once") << QStringList{"a /hours=Wed 08:00-09:00", "b /hours=Fri 08:00-09:00"}
                                            << tuesday << false << 0LL << ""
                                            << "Nothing to show until Wed 08:00" << 0;
    // The clock is read each minute: the entry comes once its hours begin.
    QTest::newRow("across midnight") << QStringList{"a /hours=Wed 00:00-01:00"} << "2024-03-05 23:59:30" << true
                                     << 61000LL << "a@60000" << "Nothing to show until Wed 00:00" << 0;
    QTest::newRow("across the change to summer time")
        << QStringList{"a /hours=03:00-04:00"} << "2024-03-31 01:59:30" << true << 61000LL << "a@60000"
        << "Nothing to show until Sun 03:00" << 0;
}

void BrowseRules::entriesFollowTheirOwnSettings()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, start);
    QFETCH(bool, loop);
    QFETCH(qint64, stopMs);
    FakeWindow w(entries);
    w.form.ckLoop->setChecked(loop);
    w.fakes.clock.start = QDateTime::fromString(start, "yyyy-MM-dd HH:mm:ss");
    w.fakes.clock.elapsedMs = &w.fakes.pump.now;
    int told = 0;
    connect(&w.form.rotation(), &Rotation::settingUnreadable, [&told] { ++told; });
    QStringList navigated;
    w.browser().onNavigate = [&](const QString&) { navigated << w.browser().navigations.last() + "@" + QString::number(w.fakes.pump.now); };
    if (stopMs)
        w.fakes.pump.at(stopMs, [&] { w.form.stop_button_Click(); });

    w.form.start_button_Click();

    QTEST(navigated.join(u' '), "navigated");
    QTEST(w.browser().cards.join(u' ').section(": ", 0, 0), "cards");
    QTEST(told, "told");
}

void BrowseRules::screenHoursDarkenAndLight()
{
    // On from 07:00 to 07:10 and from 07:12; the run starts at 07:08:09 and the clock is
    // read each minute.
    FakePlatform fakes;
    fakes.clock.elapsedMs = &fakes.pump.now;
    form2 form(fakes.platformWith({.cache = true, .keepScreenOn = true, .screenHours = "07:00-07:10; 07:12-08:00"}));
    form.txt_interval->setText("30");
    form.lstPlayList->addItems({"a", "b", "c"});
    QStringList states;
    connect(&form.rotation(), &Rotation::stateChanged, [&](Rotation::State state) { states << QString::number(int(state)); });
    for (int minute = 1; minute <= 5; ++minute)
        fakes.pump.at(minute * 60'000LL, [&] { form.screenHours()->look(); });
    // Commands in the dark wait for the hours: nothing is shown to nobody.
    fakes.pump.at(150'000, [&] { form.rotation().next(), form.rotation().previous(), form.rotation().showNow("x"); });
    fakes.pump.at(330'000, [&] { form.stop_button_Click(); });

    form.start_button_Click();

    // Dark at 07:10:09 with a on the screen, nothing asked for until light at 07:12:09, then b.
    QCOMPARE(fakes.browser->navigations.join(QString()), "abcabca");
    QCOMPARE(fakes.browser->darkness, "DL");
    QCOMPARE(fakes.power.said, (QStringList{"off", "on"}));
    // Held for the run, let go for the dark, held again, let go at Stop.
    QCOMPARE(fakes.keeper.said, "HRHR");
    QCOMPARE(states.join(u' '), "1 3 1 0");
}

QTEST_MAIN(BrowseRules)
#include "tst_browse_rules.moc"
