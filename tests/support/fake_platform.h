#pragma once

#include "browse/web_browser.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/platform.h"
#include "platform/process_end.h"
#include "platform/random_source.h"

#include <QDateTime>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <functional>
#include <utility>
#include <vector>

// A browser that records what it was asked to do and loads nothing.
class FakeBrowser final : public WebBrowser {
    Q_OBJECT

public:
    using WebBrowser::WebBrowser;

    void Navigate(const QString& urlText) override
    {
        navigations << urlText;
        if (onNavigate)
            onNavigate(urlText);
    }
    void NavigateToFile(const QString& path) override { files << path; }
    void Stop() override { ++stops; }
    void setSilent(bool value) override { silent = value; }

    QStringList navigations;
    QStringList files;
    int stops = 0;
    bool silent = false;
    // Runs after each navigation is recorded, to act "while the page shows".
    std::function<void(const QString&)> onNavigate;
};

// Time that passes only when the dwell wait waits. An action scheduled at a virtual
// moment runs at that moment, inside the stage being waited out, as a click would.
class VirtualTimePump final : public EventPump {
public:
    void waitStage(std::chrono::milliseconds length) override
    {
        stages.push_back(length.count());
        const qint64 end = now + std::max<qint64>(length.count(), 0);
        bool ended = false;
        waits_.push_back(&ended);
        // An action may start a nested run, whose waits move the time on past this end.
        while (!ended && now < end && runNextDueBy(end)) {
        }
        waits_.pop_back();
        if (!ended)
            now = std::max(now, end);
    }
    void endWaits() override
    {
        for (bool* ended : waits_)
            *ended = true;
    }
    void processPendingEvents() override
    {
        ++eventSteps;
        while (runNextDueBy(now)) {
        }
    }
    void at(qint64 milliseconds, std::function<void()> action)
    {
        scheduled_.emplace_back(milliseconds, std::move(action));
    }

    qint64 now = 0;
    int eventSteps = 0;
    std::vector<qint64> stages;

private:
    bool runNextDueBy(qint64 until)
    {
        const auto next = std::min_element(scheduled_.begin(), scheduled_.end(),
                                           [](const auto& a, const auto& b) { return a.first < b.first; });
        if (next == scheduled_.end() || next->first > until)
            return false;
        now = std::max(now, next->first);
        // Taken out first: the action may schedule more.
        const std::function<void()> action = std::move(next->second);
        scheduled_.erase(next);
        action();
        return true;
    }

    std::vector<std::pair<qint64, std::function<void()>>> scheduled_;
    std::vector<bool*> waits_; // one flag per stage being waited out, innermost last
};

class FakeClock final : public Clock {
public:
    QDateTime now() const override { return moment; }
    QDateTime moment{QDate(2024, 3, 5), QTime(7, 8, 9)};
};

// Hands out the given shares in turn (the last one again when they run out).
class FakeRandom final : public RandomSource {
public:
    void reseedFromTimeOfDay() override { ++reseeds; }
    double draw() override { return shares.at(std::min<std::size_t>(draws++, shares.size() - 1)); }

    std::vector<double> shares{0.5};
    int reseeds = 0;
    int draws = 0;
};

class RecordingMessageBoxes final : public MessageBoxes {
public:
    void inform(QWidget*, const QString& text) override { shown << text; }
    void informWithoutWaiting(QWidget*, const QString& text, std::function<void()> whenClosed) override
    {
        shown << text;
        open.push_back(std::move(whenClosed));
    }
    // Dismisses every box opened without waiting.
    void closeOpen()
    {
        for (auto& whenClosed : std::exchange(open, {}))
            whenClosed();
    }
    QString last() const { return shown.isEmpty() ? QString() : shown.last(); }
    QStringList shown;
    std::vector<std::function<void()>> open;
};

// Answers the next dialog with the name set beforehand; empty means cancelled.
class PreAnsweredDialogs final : public FileDialogs {
public:
    QString askOpenFileName(QWidget*) override { return ++opens, whileOpen(), std::exchange(next, QString()); }
    QString askSaveFileName(QWidget*) override { return ++saves, whileOpen(), std::exchange(next, QString()); }
    void setNextFileName(const QString& name) { next = name; }

    QString next;
    int opens = 0;
    int saves = 0;
    // Runs as each dialog opens, to look at the window behind it.
    std::function<void()> whileOpen = [] {};
};

class RecordingProcessEnd final : public ProcessEnd {
public:
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
    FakeBrowser* browser = nullptr;
    LongOptions options;

    Platform platform(const QString& commandLine = {}, const QString& programFolder = QStringLiteral("/opt/veltrase"))
    {
        return {pump,
                clock,
                random,
                messages,
                dialogs,
                processEnd,
                [this](QWidget* parent) { return browser = new FakeBrowser(parent); },
                commandLine,
                programFolder,
                options};
    }
};
