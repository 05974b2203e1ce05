#include "browse/webengine/card_screen.h"

#include "browse/webengine/error_card.h"

#include <QApplication>
#include <QStackedLayout>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

CardScreen::CardScreen(QWidget* browser, QStackedLayout* views, QWebEngineProfile* profile)
    : QObject(browser)
    , browser_(browser)
    , views_(views)
    , profile_(profile)
{
}

CardScreen::~CardScreen()
{
    // The view before its page.
    delete cardView_;
}

void CardScreen::showCard(const QString& html)
{
    makeView();
    cardWanted_ = true;
    if (html == html_ && loaded_)
        bringForward(browser_, views_, cardView_);
    else
        load(html);
}

void CardScreen::prepareCard(const QString& html)
{
    makeView();
    cardWanted_ = false;
    if (html != html_)
        load(html);
}

void CardScreen::load(const QString& html)
{
    html_ = html;
    loaded_ = false;
    cardPage_->setHtml(html);
}

void CardScreen::makeView()
{
    if (cardView_)
        return;
    cardPage_ = std::make_unique<QWebEnginePage>(profile_);
    cardPage_->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    // Before its first frame the card is its own colour, not white.
    cardPage_->setBackgroundColor(kCardBackground);
    cardView_ = new QWebEngineView(browser_);
    cardView_->setPage(cardPage_.get());
    QWidget* front = views_->currentWidget();
    views_->addWidget(cardView_);
    // A view that joins the stack stays behind the one on the screen.
    bringForward(browser_, views_, front);
    connect(cardPage_.get(), &QWebEnginePage::loadFinished, this, [this](bool ok) {
        // A card replaced before it loaded says so; the one after it comes next.
        if (!ok)
            return;
        loaded_ = true;
        if (cardWanted_)
            bringForward(browser_, views_, cardView_);
    });
}

void CardScreen::showPage(QWebEngineView* pageView)
{
    cardWanted_ = false;
    bringForward(browser_, views_, pageView);
}

bool CardScreen::isShowingCard() const
{
    return cardView_ && views_->currentWidget() == cardView_;
}

void bringForward(QWidget* browser, QStackedLayout* views, QWidget* shown)
{
    QWidget* before = views->currentWidget();
    const bool hadFocus = before && (before->isAncestorOf(QApplication::focusWidget()) || before->hasFocus());
    views->setCurrentWidget(shown);
    browser->setFocusProxy(shown);
    if (hadFocus && before != shown)
        shown->setFocus();
}
