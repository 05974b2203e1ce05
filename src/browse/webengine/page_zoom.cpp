#include "browse/webengine/page_zoom.h"

#include <QShortcut>
#include <QWebEnginePage>
#include <QWidget>

#include <algorithm>
#include <array>

namespace {

constexpr std::array kRungs{25, 33, 50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400, 500};

} // namespace

int steppedZoomPercent(int percent, int steps)
{
    for (; steps > 0; --steps) {
        const auto above = std::upper_bound(kRungs.begin(), kRungs.end(), percent);
        percent = above == kRungs.end() ? kRungs.back() : *above;
    }
    for (; steps < 0; ++steps) {
        const auto below = std::lower_bound(kRungs.begin(), kRungs.end(), percent);
        percent = below == kRungs.begin() ? kRungs.front() : *(below - 1);
    }
    return percent;
}

PageZoom::PageZoom(int startPercent, QWidget* browser)
    : QObject(browser)
    , startPercent_(startPercent)
    , percent_(startPercent)
{
    const auto onKeys = [this, browser](const QList<QKeySequence>& keys, auto change) {
        for (const QKeySequence& key : keys) {
            auto* shortcut = new QShortcut(key, browser);
            shortcut->setContext(Qt::WidgetWithChildrenShortcut);
            connect(shortcut, &QShortcut::activated, this, [this, change] { setPercent(change(percent_)); });
        }
    };
    // Ctrl+= as well: on many keyboards plus is the shifted equals key.
    onKeys({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
           [](int percent) { return steppedZoomPercent(percent, 1); });
    onKeys({QKeySequence(Qt::CTRL | Qt::Key_Minus)}, [](int percent) { return steppedZoomPercent(percent, -1); });
    onKeys({QKeySequence(Qt::CTRL | Qt::Key_0)}, [this](int) { return startPercent_; });
}

void PageZoom::follow(QWebEnginePage* page)
{
    pages_.removeAll(nullptr);
    pages_ << page;
    setPercent(percent_);
}

void PageZoom::setOwnZoom(QWebEnginePage* page, std::optional<int> percent)
{
    if (percent)
        ownZooms_.insert(page, *percent);
    else
        ownZooms_.remove(page);
    page->setZoomFactor(ownZooms_.value(page, percent_) / 100.0);
}

void PageZoom::setPercent(int percent)
{
    percent_ = percent;
    // The keys are the person at the screen's word, over every entry's own zoom.
    ownZooms_.clear();
    // The engine keeps a page's zoom when it goes from one site to another.
    for (QWebEnginePage* page : std::as_const(pages_))
        if (page)
            page->setZoomFactor(percent_ / 100.0);
}
