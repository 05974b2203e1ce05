#pragma once

#include "browse/browser_settings.h"
#include "browse/web_browser.h"

#include <QDateTime>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

class CardScreen;
class KeptProfile;
class PageSheet;
class PageZoom;
class SheetStack;
class QWebEngineLoadingInfo;
class QWebEngineView;

// The embedded browser on Qt WebEngine. The engine starts on the first navigation,
// so the window opens without waiting for it. With preloading, a page is loaded on a
// second sheet beside the one on the screen and takes its place once drawn.
class WebEngineBrowser final : public WebBrowser {
    Q_OBJECT

public:
    explicit WebEngineBrowser(QWidget* parent = nullptr, const BrowserSettings& settings = {});
    ~WebEngineBrowser() override;

    void Navigate(const QString& urlText) override;
    void NavigateToFile(const QString& path) override;
    void prepare(const QString& urlText) override;
    void Stop() override;
    void setSilent(bool silent) override;
    void endSession() override;
    void showCard(const QString& headline, const QString& subject, const QString& reason) override;
    QString title() const override;
    void reload() override;
    void setEntryZoom(std::optional<int> percent) override { entryZoom_ = percent; }
    void setDark(bool dark) override;

    // The engine's view on the screen, or null before the first navigation.
    QWebEngineView* view() const;
    // The view of the card shown when a page cannot be, or null before the first card.
    QWebEngineView* cardView() const;
    bool isShowingCard() const;

private:
    // What became of the latest load: not known yet, a page to show, or a card instead.
    enum class Outcome { Pending, Page, Card };

    void startEngine();
    // Starts the engine if need be; false once the session has ended.
    bool engineReady();
    // No page asked for is awaited any more: no patience, no switch, nothing prepared.
    void giveUpWaiting();
    PageSheet* addSheet();
    void navigateTo(const QUrl& url, const QString& urlText);
    void loadComing(const QUrl& url);
    void refuseScript(const QString& text);
    void putCard(const QString& html, const QString& reason);
    void putPage();
    // Preloading: the sheet underneath takes the screen.
    void bringComingForward();
    void followLoading(PageSheet* sheet, const QWebEngineLoadingInfo& loading);
    void failLoad(const QWebEngineLoadingInfo& loading);
    struct Card {
        QString html, reason;
    };
    void settle(Outcome outcome, const Card& card = {});
    void switchWhenReady();
    void waitedTooLong();

    BrowserSettings settings_;
    SheetStack* views_ = nullptr;
    // The profile is declared before the sheets so that it outlives their pages.
    std::unique_ptr<KeptProfile> profile_;
    // The sheet on the screen, and the one the latest load went to: the same sheet
    // unless preloading.
    std::unique_ptr<PageSheet> sheets_[2];
    PageSheet* shown_ = nullptr;
    PageSheet* coming_ = nullptr;
    // Preloading: dark until the first page is drawn.
    QWidget* curtain_ = nullptr;
    CardScreen* card_ = nullptr;
    // Dark: in front of everything, and what it hides, to come back when light.
    QWidget* darkness_ = nullptr;
    QPointer<QWidget> litBefore_;
    bool dark_ = false;
    PageZoom* zoom_ = nullptr;
    std::optional<int> entryZoom_;
    bool silent_ = false;
    bool ended_ = false;
    // A card was asked for since the page last showed.
    bool cardPut_ = false;

    // The address the coming sheet was asked for, and what came of it.
    QString preparedText_;
    // Loads begun, so that an answer about an earlier one is known for what it is.
    quint64 loads_ = 0;
    Outcome outcome_ = Outcome::Pending;
    Card outcomeCard_;
    // A navigation waits for the coming sheet to be drawn.
    bool switchWaiting_ = false;

    // The latest navigation, when it began and when its load started: a page that has
    // shown nothing for too long gives way to a card saying so.
    QUrl navigatedUrl_;
    QDateTime navigatedAt_;
    QDateTime loadStartedAt_;
    QTimer patience_;
};
