#include "support/fake_platform.h"

#include <algorithm>

void FakeBrowser::Navigate(const QString& urlText)
{
    navigations << urlText;
    if (onNavigate)
        onNavigate(urlText);
}

void VirtualTimePump::waitStage(std::chrono::milliseconds length)
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

void VirtualTimePump::endWaits()
{
    for (bool* ended : waits_)
        *ended = true;
}

void VirtualTimePump::processPendingEvents()
{
    ++eventSteps;
    while (runNextDueBy(now)) {
    }
}

bool VirtualTimePump::runNextDueBy(qint64 until)
{
    const auto next = std::min_element(scheduled_.begin(), scheduled_.end(),
                                       [](const Scheduled& a, const Scheduled& b) { return a.when < b.when; });
    if (next == scheduled_.end() || next->when > until)
        return false;
    now = std::max(now, next->when);
    // Taken out first: the action may schedule more.
    std::function<void()> action = std::move(next->action);
    scheduled_.erase(next);
    action();
    return true;
}

void VirtualTimePump::at(qint64 milliseconds, std::function<void()> action)
{
    scheduled_.push_back({milliseconds, std::move(action)});
}

double FakeRandom::draw()
{
    const std::size_t index = std::min<std::size_t>(static_cast<std::size_t>(draws), shares.size() - 1);
    ++draws;
    return shares[index];
}

QString PreAnsweredDialogs::askOpenFileName(QWidget*)
{
    ++opens;
    return std::exchange(next, QString());
}

QString PreAnsweredDialogs::askSaveFileName(QWidget*)
{
    ++saves;
    return std::exchange(next, QString());
}

Platform FakePlatform::platform(const QString& commandLine, const QString& programFolder)
{
    return Platform{
        pump,
        clock,
        random,
        messages,
        dialogs,
        processEnd,
        [this](QWidget* parent) {
            browser = new FakeBrowser(parent);
            return browser;
        },
        commandLine,
        programFolder,
        options,
    };
}
