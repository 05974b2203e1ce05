#include "browse/webengine/card_screen.h"

#include <QApplication>
#include <QLayout>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

CardScreen::CardScreen(QWidget* browser, QWebEngineView* pageView, QWebEngineProfile* profile)
    : QObject(browser)
    , browser_(browser)
    , pageView_(pageView)
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
    if (!cardView_) {
        cardPage_ = std::make_unique<QWebEnginePage>(profile_);
        cardPage_->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
        cardView_ = new QWebEngineView(browser_);
        cardView_->setPage(cardPage_.get());
        cardView_->hide();
        browser_->layout()->addWidget(cardView_);
        connect(cardPage_.get(), &QWebEnginePage::loadFinished, this, [this] {
            if (cardWanted_)
                bringForward(cardView_);
        });
    }
    cardWanted_ = true;
    cardPage_->setHtml(html);
}

void CardScreen::showPage()
{
    cardWanted_ = false;
    bringForward(pageView_);
}

bool CardScreen::isShowingCard() const
{
    return cardView_ && cardView_->isVisibleTo(browser_);
}

void CardScreen::bringForward(QWebEngineView* shown)
{
    QWebEngineView* hidden = shown == pageView_ ? cardView_ : pageView_;
    if (!hidden || !hidden->isVisibleTo(browser_))
        return;
    // The keys (zoom among them) stay with the browser when the view under them goes.
    const bool hadFocus = hidden->isAncestorOf(QApplication::focusWidget()) || hidden->hasFocus();
    shown->show();
    hidden->hide();
    browser_->setFocusProxy(shown);
    if (hadFocus)
        shown->setFocus();
}
