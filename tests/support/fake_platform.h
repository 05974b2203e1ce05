#pragma once

#include "browse/web_browser.h"
#include "platform/clock.h"
#include "platform/display_power.h"
#include "platform/event_pump.h"
#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/platform.h"
#include "platform/process_end.h"
#include "platform/random_source.h"
#include "platform/screen_keeper.h"

#include <map>

// A browser that records what it was asked to do and loads nothing.
struct FakeBrowser final : WebBrowser {
    using WebBrowser::WebBrowser;

    // An entry's own zoom follows its address: "a@150".
    void Navigate(const QString& urlText) override
    {
        navigations << urlText + (zoom ? QStringLiteral("@%1").arg(*zoom) : QString()), onNavigate(urlText);
    }
    void NavigateToFile(const QString& path) override { files << path; }
    void prepare(const QString& urlText) override { prepared << urlText, onPrepare(urlText); }
    void Stop() override { ++stops; }
    void setEntryZoom(std::optional<int> percent) override { zoom = percent; }
    void setDark(bool value) override { darkness += value ? u'D' : u'L'; }
    void setSilent(bool value) override { silent = value; }
    void showCard(const QString& headline, const QString& subject, const QString& reason) override
    {
        cards << headline + ": " + subject + ": " + reason;
    }

    QStringList navigations, files, cards, prepared;
    std::optional<int> zoom;
    // D each time the screen went dark, L each time it came back.
    QString darkness;
    int stops = 0;
    bool silent = false;
    // Runs after each navigation is recorded, to act "while the page shows".
    std::function<void(const QString&)> onNavigate = [](const QString&) {};
    std::function<void(const QString&)> onPrepare = [](const QString&) {};
};

// Time that passes only when the dwell wait waits. An action scheduled at a virtual
// moment runs at that moment, inside the stage being waited out, as a click would.
struct VirtualTimePump final : EventPump {
    void waitStage(std::chrono::milliseconds length) override
    {
        stages.push_back(length.count());
        runDueBy(now + std::max<qint64>(length.count(), 0), ++waitsBegun_);
    }
    // Ends every wait begun so far; those begun later wait as usual.
    void endWaits() override { waitsEnded_ = waitsBegun_; }
    void processPendingEvents() override { runDueBy(now, INT64_MAX); }
    // Actions due at one moment run in the order they were scheduled.
    void at(qint64 milliseconds, std::function<void()> action) { scheduled_.emplace(milliseconds, std::move(action)); }

    qint64 now = 0;
    std::vector<qint64> stages;

    // Runs the actions due by the given moment in turn, while the wait lasts, and moves the
    // time on to that moment unless the wait was ended. An action may start a nested run,
    // whose waits move the time on past it.
    void runDueBy(qint64 until, qint64 wait)
    {
        while (wait > waitsEnded_ && !scheduled_.empty() && scheduled_.begin()->first <= until) {
            // Taken out first: the action may schedule more.
            auto next = scheduled_.extract(scheduled_.begin());
            now = std::max(now, next.key());
            next.mapped()();
        }
        now = wait > waitsEnded_ ? std::max(now, until) : now;
    }

    std::multimap<qint64, std::function<void()>> scheduled_;
    qint64 waitsBegun_ = 0, waitsEnded_ = 0;
};

// A Tuesday morning that stands still, or moves with the virtual time when told to.
struct FakeClock final : Clock {
    QDateTime now() const override { return elapsedMs ? start.addMSecs(*elapsedMs) : start; }
    QDateTime start{QDate(2024, 3, 5), QTime(7, 8, 9)};
    const qint64* elapsedMs = nullptr;
};

// Holds and releases, in order: H and R.
struct RecordingScreenKeeper final : ScreenKeeper {
    void hold() override { said += u'H'; }
    void release() override { said += u'R'; }
    QString said;
};

struct RecordingDisplayPower final : DisplayPower {
    void setPowered(bool on) override { said << (on ? "on" : "off"); }
    QStringList said;
};

// Hands out the given shares in turn (the last one again when they run out).
struct FakeRandom final : RandomSource {
    void reseedFromTimeOfDay() override { ++reseeds; }
    double draw() override { return shares.at(std::min<std::size_t>(draws++, shares.size() - 1)); }

    std::vector<double> shares{0.5};
    int reseeds = 0, draws = 0;
};

struct RecordingMessageBoxes final : MessageBoxes {
    void inform(QWidget*, const QString& text) override { shown << text; }
    void informWithoutWaiting(QWidget*, const QString& text, std::function<void()> whenClosed) override
    {
        shown << text, open.push_back(std::move(whenClosed));
    }
    // Dismisses every box opened without waiting.
    void closeOpen()
    {
        for (auto& whenClosed : std::exchange(open, {}))
            whenClosed();
    }
    QString last() const { return shown.value(shown.size() - 1); }

    QStringList shown;
    std::vector<std::function<void()>> open;
};

// Answers the next dialog with the name set beforehand; empty means cancelled.
struct PreAnsweredDialogs final : FileDialogs {
    QString askOpenFileName(QWidget*) override { return answer(); }
    QString askSaveFileName(QWidget*) override
    {
        ++saves;
        return answer();
    }
    QString answer()
    {
        whileOpen();
        return std::exchange(next, QString());
    }
    void setNextFileName(const QString& name) { next = name; }

    QString next;
    int saves = 0;
    // Runs as each dialog opens, to look at the window behind it.
    std::function<void()> whileOpen = [] {};
};

struct RecordingProcessEnd final : ProcessEnd {
    void endProcess() override { ++ends; }
    int ends = 0;
};

// Every seam faked; the window under test gets them through platform().
struct FakePlatform {
    VirtualTimePump pump;
    FakeClock clock;
    FakeRandom random;
    RecordingMessageBoxes messages;
    PreAnsweredDialogs dialogs;
    RecordingProcessEnd processEnd;
    RecordingScreenKeeper keeper;
    RecordingDisplayPower power;
    FakeBrowser* browser = nullptr;
    LongOptions options;

    Platform platform(const QString& commandLine = {}, const QString& programFolder = QStringLiteral("/opt/veltrase"))
    {
        const auto makeBrowser = [this](QWidget* parent) { return browser = new FakeBrowser(parent); };
        Platform seams{pump, clock, random, messages, dialogs, processEnd, makeBrowser, commandLine, programFolder, options};
        seams.screenKeeper = &keeper;
        seams.displayPower = &power;
        return seams;
    }
    Platform platformWith(const LongOptions& chosen)
    {
        options = chosen;
        return platform();
    }
};
