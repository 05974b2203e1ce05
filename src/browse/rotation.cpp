#include "browse/rotation.h"

#include "app/state_texts.h"
#include "browse/dwell_interval.h"
#include "browse/entry_settings.h"
#include "browse/no_cache_stamp.h"
#include "browse/rotation_panel.h"
#include "browse/web_browser.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/random_source.h"

namespace {

// How long a paused rotation sleeps between looks at its hold; resume() wakes it.
constexpr std::chrono::milliseconds kPausedStep{250};
// How often a switch looks whether the next page is on the screen yet.
constexpr std::chrono::milliseconds kScreenLook{20};
// The browser puts a card up when a page keeps it waiting; past this, the rotation goes
// on whatever the browser says.
constexpr std::chrono::seconds kLongestSwitch{30};
// With every entry outside its hours the clock is read again this often.
constexpr int kHoursLookSeconds = 60;
// Preloading, the next page is asked for this long before its turn (at once in a shorter
// dwell): long enough for a slow page to be drawn, short enough that a live page
// underneath does not redraw beside the one on the screen for a whole long dwell.
constexpr std::chrono::seconds kPrepareLead{15};

} // namespace

Rotation::Rotation(EventPump& pump, Clock& clock, RandomSource& random, RotationPanel& panel, QObject* parent)
    : QObject(parent)
    , pump_(pump)
    , clock_(clock)
    , random_(random)
    , panel_(panel)
{
}

void Rotation::run()
{
    ++runsUnderWay_;
    dwellCut_ = false;
    paused_ = paused_ || dark_;
    setState(dark_ ? State::Dark : paused_ ? State::Paused : State::Running);
    const auto ended = [this] {
        if (--runsUnderWay_ == 0) {
            prepared_.reset();
            browser_->prepare({});
            setState(State::Stopped);
        }
    };
    bool inLaterPass = false;

    for (;;) {
        panel_.beforePass();
        browser_->setVisible(true);
        browser_->setSilent(true);

        const int bound = panel_.entryCount();
        bool shownInPass = false;
        // A playlist loaded during the pass may be shorter: its new end ends the pass.
        for (int index = 0; index < bound && index < panel_.entryCount(); ++index) {
            // Seen before the next entry is shown, so a stopped run leaves the list and
            // the Current URL box naming the page that is on the screen.
            if (StopFlag == kYes)
                break;
            const QString entry = panel_.entry(index);
            // The clock is read afresh at each entry: a clock set by the network or a
            // change to summer time counts at once.
            const EntrySettings settings = settingsOf(entry);
            if (!inItsHours(settings))
                continue;
            shownInPass = true;
            const bool wasPrepared = prepared_ && prepared_->first == entry;
            onScreen_ = {index, bound, settings};
            browser_->setEntryZoom(settings.zoomPercent);
            show(index, wasPrepared ? prepared_->second : addressOf(settings.address), bound);
            const auto prepareNext = [this, index, bound] {
                if (preloading_ && StopFlag != kYes)
                    prepareAfter(index, bound);
            };
            waitOut([this, &settings] { return secondsFor(settings); }, settings.reloadSeconds, prepareNext);
            index = indexAfterDwell(index, bound);
        }

        if (bound > 0 && !shownInPass && StopFlag != kYes) {
            showNothingUntilNextHours();
            if (panel_.loops()) {
                waitOut([] { return kHoursLookSeconds; });
                continue;
            }
        }

        // An empty list that loops still waits once per pass, so the window stays
        // alive, Stop works and entries added meanwhile are visited next pass.
        if (bound == 0 && panel_.loops())
            dwell();

        // A pass cut short by Stop is not a completed pass.
        if (StopFlag == kYes) {
            if (inLaterPass)
                panel_.runEnded();
            ended();
            return;
        }

        ++PassCount;
        panel_.showPassCount(PassCount);

        if (!panel_.loops()) {
            panel_.runEnded();
            ended();
            return;
        }
        inLaterPass = true;
    }
}

void Rotation::show(int index, const QString& address, int count)
{
    prepared_.reset();
    disconnect(reloadShown_);
    if (!preloading_) {
        panel_.showEntry(index, address);
        emit entryOnScreen(index, count, address);
        browser_->Navigate(address);
        return;
    }
    // The old page stays until the new one is drawn, and the window names the page on
    // the screen: the dwell counts from then.
    bool onScreen = false;
    const auto connection = connect(browser_, &WebBrowser::shown, this, [&onScreen] { onScreen = true; });
    browser_->Navigate(address);
    for (auto waited = std::chrono::milliseconds::zero(); !onScreen && StopFlag != kYes && waited < kLongestSwitch;
         waited += kScreenLook)
        pump_.waitStage(kScreenLook);
    disconnect(connection);
    // Stopped first, the page before is still the one on the screen.
    if (!onScreen && StopFlag == kYes)
        return;
    panel_.showEntry(index, address);
    emit entryOnScreen(index, count, address);
}

void Rotation::prepareAfter(int index, int bound)
{
    // The next entry in its hours now; it may be out of them at its turn, and is then
    // passed over as the rotation would pass it.
    for (int step = 1; step <= bound; ++step) {
        int next = index + step;
        if (next >= bound) {
            if (!panel_.loops())
                return;
            next -= bound;
        }
        if (next >= panel_.entryCount())
            return;
        // The page on the screen comes next again (a list of one): loaded underneath as
        // well, it would be drawn twice over for nothing. At its turn it is asked for
        // again and comes forward once drawn, the same page staying until then.
        if (next == index)
            return;
        const QString entry = panel_.entry(next);
        const EntrySettings settings = settingsOf(entry);
        if (!inItsHours(settings))
            continue;
        // The No Cache stamp is the moment of the request, made now.
        prepared_.emplace(entry, addressOf(settings.address));
        browser_->setEntryZoom(settings.zoomPercent);
        browser_->prepare(prepared_->second);
        return;
    }
}

QString Rotation::addressOf(const QString& address) const
{
    return panel_.bypassesCache() ? withNoCacheStamp(address, noCacheStamp(clock_.now())) : address;
}

EntrySettings Rotation::settingsOf(const QString& entry)
{
    EntrySettings settings = readEntrySettings(entry);
    if (!settings.problems.isEmpty() && !toldUnreadable_.contains(entry)) {
        toldUnreadable_.insert(entry);
        for (const QString& problem : std::as_const(settings.problems))
            emit settingUnreadable(entry, problem);
    }
    return settings;
}

bool Rotation::inItsHours(const EntrySettings& settings) const
{
    return !settings.hours || settings.hours->contains(clock_.now());
}

void Rotation::showNothingUntilNextHours()
{
    const QDateTime now = clock_.now();
    QDateTime next;
    for (int index = 0; index < panel_.entryCount(); ++index) {
        const EntrySettings settings = settingsOf(panel_.entry(index));
        const QDateTime start = settings.hours ? settings.hours->nextStart(now) : QDateTime();
        if (start.isValid() && (next.isNull() || start < next))
            next = start;
    }
    prepared_.reset();
    browser_->prepare({});
    browser_->showCard(next.isValid() ? QStringLiteral("Nothing to show until ") + dayAndTime(next)
                                      : QStringLiteral("Nothing to show"),
                       {}, QStringLiteral("Every entry of the playlist is outside its hours."));
}

void Rotation::reloadOnScreen()
{
    const QString address = addressOf(onScreen_.settings.address);
    browser_->setEntryZoom(onScreen_.settings.zoomPercent);
    disconnect(reloadShown_);
    if (preloading_) {
        // Drawn underneath and brought forward whole, like any switch; the next entry,
        // if it was asked for already on the same sheet, is asked for again once it has.
        const bool nextWasAsked = std::exchange(prepared_, std::nullopt).has_value();
        reloadShown_ = connect(
            browser_, &WebBrowser::shown, this,
            [this, address, nextWasAsked] {
                disconnect(reloadShown_);
                panel_.showEntry(onScreen_.index, address);
                if (nextWasAsked && StopFlag != kYes)
                    prepareAfter(onScreen_.index, onScreen_.count);
            });
        browser_->Navigate(address);
        return;
    }
    browser_->Navigate(address);
    panel_.showEntry(onScreen_.index, address);
}

// Ten stages, each waited out in one event loop that runs events as they come; Stop and
// the other commands end the stage they come in. The stage counter is shared, so a wait
// that a nested run interrupted finds it spent and ends at its own end.
void Rotation::dwell()
{
    waitOut([this] { return secondsFromPanel(); });
}

void Rotation::waitOut(const std::function<int()>& dwellSeconds, std::optional<int> reloadSeconds,
                       std::function<void()> prepareNext)
{
    using std::chrono::milliseconds;
    std::optional<milliseconds> untilReload;
    if (reloadSeconds)
        untilReload = std::chrono::seconds(*reloadSeconds);
    for (PauseStage = 1; PauseStage <= 20; ++PauseStage) {
        ++PauseStage;
        pump_.processPendingEvents();
        holdWhilePaused();
        if (StopFlag == kYes || std::exchange(dwellCut_, false))
            return;
        const int seconds = dwellSeconds();
        if (PauseStage == 2)
            dwellEndsAt_ = clock_.now().addSecs(seconds);
        // A tenth of the dwell, in slices that end at each reload and when the next page
        // is to be asked for. Unless Random draws each stage afresh, the stages left are
        // waited as one: the window's thread then wakes once a dwell, not ten times (the
        // interval cannot change while a run goes on).
        const milliseconds stage(qint64(seconds) * 100);
        const int stagesAtOnce = panel_.randomDwell() ? 1 : (22 - PauseStage) / 2;
        PauseStage += 2 * (stagesAtOnce - 1);
        const milliseconds stagesAfter = stage * ((20 - PauseStage) / 2);
        for (auto left = stage * stagesAtOnce; left > milliseconds::zero();) {
            if (prepareNext && left + stagesAfter <= kPrepareLead)
                std::exchange(prepareNext, {})();
            milliseconds slice = untilReload ? std::min(left, *untilReload) : left;
            if (prepareNext)
                slice = std::min(slice, left + stagesAfter - milliseconds(kPrepareLead));
            pump_.waitStage(slice);
            if (StopFlag == kYes || dwellCut_ || paused_ || PauseStage > 20)
                break;
            left -= slice;
            if (untilReload && (*untilReload -= slice) <= milliseconds::zero()) {
                reloadOnScreen();
                untilReload = std::chrono::seconds(*reloadSeconds);
            }
        }
    }
    // A pause (or the dark) that came in the last stage holds this page too, and a
    // command that cut the last stage has done its work: the next dwell is whole.
    holdWhilePaused();
    dwellCut_ = false;
}

void Rotation::holdWhilePaused()
{
    while (paused_ && StopFlag != kYes && !dwellCut_) {
        pump_.waitStage(kPausedStep);
        if (holdLeft_ && (*holdLeft_ -= kPausedStep) <= std::chrono::milliseconds::zero())
            resume();
    }
}

int Rotation::secondsFor(const EntrySettings& settings)
{
    if (!settings.dwellSeconds)
        return secondsFromPanel();
    if (!panel_.randomDwell())
        return fixedDwellSeconds(*settings.dwellSeconds);
    random_.reseedFromTimeOfDay();
    return randomDwellSeconds(*settings.dwellSeconds, random_.draw());
}

int Rotation::secondsFromPanel()
{
    if (intervalNeedsReplacing(panel_.intervalText()))
        panel_.setIntervalText(QStringLiteral("1"));
    const QString interval = panel_.intervalText();
    if (!panel_.randomDwell())
        return fixedDwellSeconds(interval);
    random_.reseedFromTimeOfDay();
    const double share = random_.draw();
    return randomDwellSeconds(parseIntervalNumber(interval).value_or(1.0), share);
}

int Rotation::indexAfterDwell(int index, int bound)
{
    while (const auto requested = std::exchange(requested_, std::nullopt)) {
        if (StopFlag == kYes)
            break;
        browser_->setEntryZoom({});
        show(-1, requested->first, bound);
        waitOut([this, seconds = requested->second] { return seconds ? *seconds : secondsFromPanel(); });
    }
    if (!std::exchange(stepBack_, false))
        return index;
    // The loop steps on by one: two back lands on the entry before this one.
    return index > 0 ? index - 2 : bound - 2;
}

void Rotation::stop()
{
    if (browser_)
        browser_->Stop();
    StopFlag = kYes;
    paused_ = stepBack_ = false;
    holdLeft_.reset();
    requested_.reset();
    // The run ends now, not at the end of the stage it is waiting out.
    pump_.endWaits();
}

void Rotation::next()
{
    // In the dark nothing is shown to anyone: the run waits for its hours.
    if (state_ == State::Stopped || dark_)
        return;
    dwellCut_ = true;
    pump_.endWaits();
}

void Rotation::previous()
{
    if (state_ == State::Stopped || dark_)
        return;
    stepBack_ = true;
    next();
}

void Rotation::pause()
{
    if (state_ != State::Running)
        return;
    paused_ = true;
    holdLeft_.reset();
    setState(State::Paused);
    pump_.endWaits();
}

void Rotation::holdFor(int seconds)
{
    if (state_ == State::Stopped || dark_ || (paused_ && !holdLeft_))
        return;
    paused_ = true;
    holdLeft_ = std::chrono::seconds(seconds);
    setState(State::Paused);
    // The hold is counted from now, not from where the dwell's wait would have ended.
    pump_.endWaits();
}

void Rotation::resume()
{
    if (dark_)
        return;
    holdLeft_.reset();
    if (!std::exchange(paused_, false))
        return;
    setState(runsUnderWay_ > 0 ? State::Running : State::Stopped);
    next();
}

void Rotation::showNow(const QString& address, std::optional<int> seconds)
{
    if (state_ == State::Stopped || dark_)
        return;
    requested_.emplace(address, seconds ? std::optional(std::max(*seconds, 1)) : std::nullopt);
    next();
}

void Rotation::setDark(bool dark)
{
    if (std::exchange(dark_, dark) == dark)
        return;
    if (dark) {
        paused_ = true;
        holdLeft_.reset();
        if (runsUnderWay_ > 0)
            setState(State::Dark);
    } else {
        paused_ = false;
        setState(runsUnderWay_ > 0 ? State::Running : State::Stopped);
        // The page that stayed through the dark has had its time.
        next();
    }
}

void Rotation::setState(State state)
{
    if (std::exchange(state_, state) != state)
        emit stateChanged(state);
}
