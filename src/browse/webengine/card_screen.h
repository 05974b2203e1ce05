#pragma once

#include <QObject>

#include <memory>

class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;
class QWidget;

// Puts a card in place of the page view and gives the screen back to the page. The card
// has a page and a view of its own, so the entry's page can still arrive behind it, and
// it takes the screen only once drawn, so the screen never flashes an empty card.
class CardScreen final : public QObject {
    Q_OBJECT

public:
    // The card's view joins the browser's layout beside the page view; the profile
    // must outlive the card screen.
    CardScreen(QWidget* browser, QWebEngineView* pageView, QWebEngineProfile* profile);
    ~CardScreen() override;

    void showCard(const QString& html);
    void showPage();
    bool isShowingCard() const;
    // Null before the first card.
    QWebEngineView* cardView() const { return cardView_; }

private:
    void bringForward(QWebEngineView* shown);

    QWidget* browser_;
    QWebEngineView* pageView_;
    QWebEngineProfile* profile_;
    std::unique_ptr<QWebEnginePage> cardPage_;
    QWebEngineView* cardView_ = nullptr;
    bool cardWanted_ = false;
};
