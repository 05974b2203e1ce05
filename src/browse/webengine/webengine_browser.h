#pragma once

#include "browse/browser_settings.h"
#include "browse/web_browser.h"

#include <QDateTime>
#include <QTimer>
#include <QUrl>

#include <memory>

class CardScreen;
class KeptProfile;
class PageZoom;
class QWebEngineLoadingInfo;
class QWebEnginePage;
class QWebEngineView;
class RendererWatch;
class SilentPage;

// The embedded browser on Qt WebEngine. The engine starts on the first navigation,
// so the window opens without waiting for it.
class WebEngineBrowser final : public WebBrowser {
    Q_OBJECT

public:
    explicit WebEngineBrowser(QWidget* parent = nullptr, const BrowserSettings& settings = {});
    ~WebEngineBrowser() override;

    void Navigate(const QString& urlText) override;
    void NavigateToFile(const QString& path) override;
    void Stop() override;
    void setSilent(bool silent) override;
    void endSession() override;
    void showCard(const QString& headline, const QString& subject, const QString& reason) override;

    // The engine's view, or null before the first navigation.
    QWebEngineView* view() const { return view_; }
    // The view of the card shown when a page cannot be, or null before the first card.
    QWebEngineView* cardView() const;
    bool isShowingCard() const;

private:
    void startEngine();
    void makePage();
    void load(const QUrl& url);
    void refuseScript(const QString& text);
    void putCard(const QString& html, const QString& reason);
    void putPage();
    void reloadOnceAfterRendererDied();
    void followLoading(const QWebEngineLoadingInfo& loading);
    void failLoad(const QWebEngineLoadingInfo& loading);
    bool pageCameSinceNavigation() const;

    BrowserSettings settings_;
    // The profile is declared before the page so that it outlives it.
    std::unique_ptr<KeptProfile> profile_;
    std::unique_ptr<SilentPage> page_;
    QWebEngineView* view_ = nullptr;
    CardScreen* card_ = nullptr;
    RendererWatch* rendererWatch_ = nullptr;
    PageZoom* zoom_ = nullptr;
    bool silent_ = false;
    bool reloadedAfterRendererDied_ = false;
    bool ended_ = false;
    // A card was asked for since the page last showed.
    bool cardPut_ = false;

    // The latest navigation, when it began, and the moment the page on screen before it
    // came: a page that has shown nothing for too long gives way to a card saying so.
    QUrl navigatedUrl_;
    QDateTime navigatedAt_;
    QDateTime pageBeforeCameAt_;
    QDateTime loadStartedAt_;
    QTimer patience_;
};
