#pragma once

#include "browse/browser_settings.h"
#include "browse/web_browser.h"

// The program's browser: it loads the browser engine from its plugin on the first
// navigation, so the window opens without paying for the engine's libraries, and a
// user who only edits a playlist never starts it.
class EngineOnDemandBrowser final : public WebBrowser {
    Q_OBJECT

public:
    EngineOnDemandBrowser(const QString& pluginPath, QWidget* parent = nullptr, const BrowserSettings& settings = {});

    void Navigate(const QString& urlText) override;
    void NavigateToFile(const QString& path) override;
    void prepare(const QString& urlText) override;
    void Stop() override;
    void setSilent(bool silent) override;
    void endSession() override;
    void showCard(const QString& headline, const QString& subject, const QString& reason) override;
    void reload() override
    {
        if (engine_)
            engine_->reload();
    }
    void setEntryZoom(std::optional<int> percent) override
    {
        entryZoom_ = percent;
        if (engine_)
            engine_->setEntryZoom(percent);
    }
    void setDark(bool dark) override
    {
        dark_ = dark;
        if (engine_)
            engine_->setDark(dark);
    }
    QString title() const override { return engine_ ? engine_->title() : QString(); }

    // Name of the plugin beside the executable.
    static QString pluginFileName() { return QStringLiteral("veltrase-webengine.so"); }

private:
    void prepareWindowForEngine();
    bool startEngine();

    QString pluginPath_;
    BrowserSettings settings_;
    WebBrowser* engine_ = nullptr;
    bool engineFailed_ = false;
    bool silent_ = false;
    std::optional<int> entryZoom_;
    bool dark_ = false;
};
