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

#include <functional>
#include <utility>
#include <vector>

// A browser that records what it was asked to do and loads nothing.
class FakeBrowser final : public WebBrowser {
    Q_OBJECT

public:
    using WebBrowser::WebBrowser;

    void Navigate(const QString& urlText) override;
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
    void waitStage(std::chrono::milliseconds length) override;
    void endWaits() override;
    void processPendingEvents() override;

    void at(qint64 milliseconds, std::function<void()> action);

    qint64 now = 0;
    int eventSteps = 0;
    std::vector<qint64> stages;

private:
    struct Scheduled {
        qint64 when;
        std::function<void()> action;
    };
    // Runs the earliest action due by `until`, if any.
    bool runNextDueBy(qint64 until);

    std::vector<Scheduled> scheduled_;
    // One flag per stage being waited out, innermost last.
    std::vector<bool*> waits_;
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
    double draw() override;

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
    QString askOpenFileName(QWidget*) override;
    QString askSaveFileName(QWidget*) override;

    void setNextFileName(const QString& name) { next = name; }
    QString next;
    int opens = 0;
    int saves = 0;
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

    Platform platform(const QString& commandLine = {}, const QString& programFolder = QStringLiteral("/opt/veltrase"));
};
