#include "browse/rotation.h"

#include "app/state_texts.h"
#include "browse/dwell_interval.h"
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
    setState(paused_ ? State::Paused : State::Running);
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
        // A playlist loaded during the pass may be shorter: its new end ends the pass.
        for (int index = 0; index < bound && index < panel_.entryCount(); ++index) {
            // Seen before the next entry is shown, so a stopped run leaves the list and
            // the Current URL box naming the page that is on the screen.
            if (StopFlag == kYes)
                break;
            const QString entry = panel_.entry(index);
            const bool wasPrepared = prepared_ && prepared_->first == entry;
            show(index, wasPrepared ? prepared_->second : addressOf(entry), bound);
            if (preloading_ && StopFlag != kYes)
                prepareAfter(index, bound);
            dwell();
            index = indexAfterDwell(index, bound);
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
    const int next = index + 1 < bound ? index + 1 : 0;
    if (next == 0 && !panel_.loops())
        return;
    if (next >= panel_.entryCount())
        return;
    // The No Cache stamp is the moment of the request, made now.
    const QString entry = panel_.entry(next);
    prepared_.emplace(entry, addressOf(entry));
    browser_->prepare(prepared_->second);
}

QString Rotation::addressOf(const QString& entry) const
{
    return panel_.bypassesCache() ? withNoCacheStamp(entry, noCacheStamp(clock_.now())) : entry;
}

// Ten stages, each waited out in one event loop that runs events as they come, a stop
// noticed at the start of every stage (and Stop ends the stage it comes in). The stage
// counter is shared, so a wait that a nested run interrupted finds it spent and ends
// after its current stage.
void Rotation::dwell()
{
    waitOut([this] { return secondsFromPanel(); });
}

void Rotation::waitOut(const std::function<int()>& dwellSeconds)
{
    for (PauseStage = 1; PauseStage <= 20; ++PauseStage) {
        ++PauseStage;
        pump_.processPendingEvents();
        while (paused_ && StopFlag != kYes && !dwellCut_) {
            pump_.waitStage(kPausedStep);
            if (holdLeft_ && (*holdLeft_ -= kPausedStep) <= std::chrono::milliseconds::zero())
                resume();
        }
        if (StopFlag == kYes || std::exchange(dwellCut_, false))
            return;
        const int seconds = dwellSeconds();
        if (PauseStage == 2)
            dwellEndsAt_ = clock_.now().addSecs(seconds);
        // A tenth of the dwell.
        pump_.waitStage(std::chrono::milliseconds(qint64(seconds) * 100));
    }
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
    if (state_ == State::Stopped)
        return;
    dwellCut_ = true;
    pump_.endWaits();
}

void Rotation::previous()
{
    if (state_ == State::Stopped)
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
}

void Rotation::holdFor(int seconds)
{
    if (state_ == State::Stopped || (paused_ && !holdLeft_))
        return;
    paused_ = true;
    holdLeft_ = std::chrono::seconds(seconds);
    setState(State::Paused);
}

void Rotation::resume()
{
    holdLeft_.reset();
    if (!std::exchange(paused_, false))
        return;
    setState(runsUnderWay_ > 0 ? State::Running : State::Stopped);
    next();
}

void Rotation::showNow(const QString& address, std::optional<int> seconds)
{
    if (state_ == State::Stopped)
        return;
    requested_.emplace(address, seconds ? std::optional(std::max(*seconds, 1)) : std::nullopt);
    next();
}

void Rotation::setState(State state)
{
    if (std::exchange(state_, state) != state)
        emit stateChanged(state);
}
