#pragma once

#include "browse/web_browser.h"

#include <memory>

class QWebEngineProfile;
class QWebEngineView;
class SilentPage;
class QUrl;

// The embedded browser on Qt WebEngine. The engine starts on the first navigation,
// so the window opens without waiting for it.
class WebEngineBrowser final : public WebBrowser {
    Q_OBJECT

public:
    explicit WebEngineBrowser(QWidget* parent = nullptr);
    ~WebEngineBrowser() override;

    void Navigate(const QString& urlText) override;
    void NavigateToFile(const QString& path) override;
    void Stop() override;
    void setSilent(bool silent) override;

    // The engine's view, or null before the first navigation.
    QWebEngineView* view() const { return view_; }

private:
    void startEngine();
    void load(const QUrl& url);
    void reloadOnceAfterRendererDied();

    // The profile is declared before the page so that it outlives it.
    std::unique_ptr<QWebEngineProfile> profile_;
    std::unique_ptr<SilentPage> page_;
    QWebEngineView* view_ = nullptr;
    bool silent_ = false;
    bool reloadedAfterRendererDied_ = false;
};
