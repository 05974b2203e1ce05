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
    void Stop() override { ++stops; }
    void setSilent(bool value) override { silent = value; }

    QStringList navigations;
    int stops = 0;
    bool silent = false;
    // Runs after each navigation is recorded, to act "while the page shows".
    std::function<void(const QString&)> onNavigate;
};

// Time that passes only when the dwell wait waits. Actions scheduled at a virtual
// moment run in the first event processing at or after it, as a click would.
class VirtualTimePump final : public EventPump {
public:
    void waitSlice(int milliseconds) override
    {
        slices.push_back(milliseconds);
        now += std::max(milliseconds, 0);
    }
    void processPendingEvents() override
    {
        ++eventSteps;
        // An action may schedule more or start a nested run: each is taken out before it runs.
        const auto due = [this](const auto& item) { return item.first <= now; };
        for (auto next = std::find_if(scheduled_.begin(), scheduled_.end(), due); next != scheduled_.end();
             next = std::find_if(scheduled_.begin(), scheduled_.end(), due)) {
            const std::function<void()> action = std::move(next->second);
            scheduled_.erase(next);
            action();
        }
    }
    void at(qint64 milliseconds, std::function<void()> action)
    {
        scheduled_.emplace_back(milliseconds, std::move(action));
    }

    qint64 now = 0;
    int eventSteps = 0;
    std::vector<int> slices;

private:
    std::vector<std::pair<qint64, std::function<void()>>> scheduled_;
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
    void inform(QWidget*, const QString& text) override
    {
        shown << text;
        // A real box runs its own event loop until dismissed; this stands for it, once.
        if (auto whileOpen = std::exchange(whileNextBoxIsOpen, nullptr))
            whileOpen();
    }
    QString last() const { return shown.isEmpty() ? QString() : shown.last(); }
    QStringList shown;
    std::function<void()> whileNextBoxIsOpen;
};

// Answers the next dialog with the name set beforehand; empty means cancelled.
class PreAnsweredDialogs final : public FileDialogs {
public:
    QString askOpenFileName(QWidget*) override { return whileOpen(), std::exchange(next, QString()); }
    QString askSaveFileName(QWidget*) override { return whileOpen(), std::exchange(next, QString()); }
    void setNextFileName(const QString& name) { next = name; }

    QString next;
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

    Platform platform(const QString& commandLine = {}, const QString& programFolder = QStringLiteral("/opt/veltrase"))
    {
        return {pump, clock, random, messages, dialogs, processEnd,
                [this](QWidget* parent) { return browser = new FakeBrowser(parent); }, commandLine, programFolder};
    }
};
