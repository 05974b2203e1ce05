#pragma once

#include "browse/entry_settings.h"

#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

class Clock;
class EventPump;
class RandomSource;
class RotationPanel;
class WebBrowser;

// The walk through the playlist: each entry in turn on the browser, held for its dwell,
// pass after pass while the panel loops. A run blocks its caller and lets events flow
// while it waits, so the window stays alive and every command below acts at once.
// With preloading the next entry is asked for shortly before its turn, while the current
// one shows, and each entry's dwell counts from the moment its page is on the screen. An entry's own
// settings (its dwell, zoom, reloads and hours) come before the list's.
class Rotation final : public QObject {
    Q_OBJECT

public:
    // Dark: outside the screen's hours, held until they begin again.
    enum class State { Stopped, Running, Paused, Dark };

    Rotation(EventPump& pump, Clock& clock, RandomSource& random, RotationPanel& panel, QObject* parent = nullptr);

    void setBrowser(WebBrowser* browser) { browser_ = browser; }
    void setPreloading(bool preloading) { preloading_ = preloading; }
    // Preloading, an entry is on the screen when the rotation says so; without, it is
    // only asked for.
    bool preloading() const { return preloading_; }
    State state() const { return state_; }
    // When the dwell under way ends, as planned at its start.
    QDateTime dwellEndsAt() const { return dwellEndsAt_; }

    // One run, from the first entry, until it ends by itself or is stopped.
    void run();
    // Holds the page on the screen for the dwell the panel gives.
    void dwell();

    void stop();
    // The next entry now; the one before the current one (from the first, the last).
    void next();
    void previous();
    // The page on the screen stays until resume(), which goes on with the next entry.
    void pause();
    void resume();
    // Paused for this long after someone used the page; each use starts the time again.
    void holdFor(int seconds);
    // An address shown at once for its own time (none: the panel's dwell); the run then
    // goes on where it was.
    void showNow(const QString& address, std::optional<int> seconds = {});
    // Outside the screen's hours the page on the screen stays, unseen, nothing else is
    // asked for and the commands above wait; when the hours begin again the run goes on
    // with the next entry.
    void setDark(bool dark);

    // The run's state, named as the window's handlers name it: "Y" once stopped, the
    // passes completed (wide enough that a run of years never wraps) and the stage of the
    // dwell being waited out, shared by nested runs.
    QString StopFlag;
    qint64 PassCount = 0;
    qint32 PauseStage = 0;

signals:
    // A page (or a card in its place) for this entry is on the screen: index from 0 of
    // count, or -1 for an address shown on request.
    void entryOnScreen(int index, int count, const QString& address);
    void stateChanged(Rotation::State state);
    // An entry's setting cannot be read, said once per entry as written.
    void settingUnreadable(const QString& entry, const QString& problem);

private:
    void show(int index, const QString& address, int count);
    // Waits out a dwell in ten stages (in one wait unless Random draws each afresh); with
    // a reload period, the page on the screen is loaded again that often meanwhile, and
    // prepareNext runs once, shortly before the end.
    void waitOut(const std::function<int()>& dwellSeconds, std::optional<int> reloadSeconds = {},
                 std::function<void()> prepareNext = {});
    void holdWhilePaused();
    void reloadOnScreen();
    int secondsFromPanel();
    int secondsFor(const EntrySettings& settings);
    EntrySettings settingsOf(const QString& entry);
    bool inItsHours(const EntrySettings& settings) const;
    // Every entry is outside its hours: a card says until when, for a minute.
    void showNothingUntilNextHours();
    // Where the walk goes after an entry's dwell, given commands that came during it.
    int indexAfterDwell(int index, int bound);
    void prepareAfter(int index, int bound);
    void askFor(const EntrySettings& settings, const QString& address, bool toShow);
    QString addressOf(const QString& entry) const;
    void setState(State state);

    EventPump& pump_;
    Clock& clock_;
    RandomSource& random_;
    RotationPanel& panel_;
    WebBrowser* browser_ = nullptr;
    bool preloading_ = false;
    QDateTime dwellEndsAt_;
    State state_ = State::Stopped;
    int runsUnderWay_ = 0;

    bool dwellCut_ = false;
    bool stepBack_ = false;
    bool paused_ = false;
    bool dark_ = false;
    // How much longer a hold lasts; none for a pause without end.
    std::optional<std::chrono::milliseconds> holdLeft_;
    std::optional<std::pair<QString, std::optional<int>>> requested_;
    // The entry asked for ahead of its turn, and the address it was asked for with.
    std::optional<std::pair<QString, QString>> prepared_;
    // The entry whose page is on the screen, for its reloads.
    struct OnScreen {
        int index = -1, count = 0;
        EntrySettings settings;
    } onScreen_;
    QMetaObject::Connection reloadShown_;
    QSet<QString> toldUnreadable_;
};
