#include "support/fake_platform.h"

#include <algorithm>

void FakeBrowser::Navigate(const QString& urlText)
{
    navigations << urlText;
    if (onNavigate)
        onNavigate(urlText);
}

void VirtualTimePump::waitSlice(int milliseconds)
{
    slices.push_back(milliseconds);
    now += std::max(milliseconds, 0);
}

void VirtualTimePump::processPendingEvents()
{
    ++eventSteps;
    // An action may schedule more or start a nested run; take due ones out first.
    for (;;) {
        auto due = std::find_if(scheduled_.begin(), scheduled_.end(),
                                [this](const Scheduled& item) { return item.when <= now; });
        if (due == scheduled_.end())
            return;
        std::function<void()> action = std::move(due->action);
        scheduled_.erase(due);
        action();
    }
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
