#pragma once

#include <QObject>

#include <memory>

class QStackedLayout;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;
class QWidget;

// Puts a card in place of the page view and gives the screen back to a page. The card
// has a page and a view of its own, so the entry's page can still arrive behind it, and
// it takes the screen only once loaded, so the screen never flashes an empty card.
class CardScreen final : public QObject {
    Q_OBJECT

public:
    // The card's view joins the browser's stack of views; the profile must outlive the
    // card screen.
    CardScreen(QWidget* browser, QStackedLayout* views, QWebEngineProfile* profile);
    ~CardScreen() override;

    void showCard(const QString& html);
    // Loads a card behind the screen, so that showing it later takes no time.
    void prepareCard(const QString& html);
    void showPage(QWebEngineView* pageView);
    bool isShowingCard() const;
    // Null before the first card.
    QWebEngineView* cardView() const { return cardView_; }

private:
    void makeView();
    void load(const QString& html);

    QWidget* browser_;
    QStackedLayout* views_;
    QWebEngineProfile* profile_;
    std::unique_ptr<QWebEnginePage> cardPage_;
    QWebEngineView* cardView_ = nullptr;
    bool cardWanted_ = false;
    // What the card's page holds, and whether it has loaded.
    QString html_;
    bool loaded_ = false;
};

// Puts this view of the browser's stack in front, the keyboard (zoom among its keys)
// going with it when the one before had it.
void bringForward(QWidget* browser, QStackedLayout* views, QWidget* shown);
