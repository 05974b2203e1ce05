#include "browse/engine_on_demand_browser.h"

#include <QLibrary>
#include <QVBoxLayout>

#include <cstdio>

EngineOnDemandBrowser::EngineOnDemandBrowser(const QString& pluginPath, QWidget* parent)
    : WebBrowser(parent)
    , pluginPath_(pluginPath)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

bool EngineOnDemandBrowser::startEngine()
{
    if (engine_)
        return true;
    if (engineFailed_)
        return false;

    // Kept loaded for the life of the process: QLibrary does not unload on destruction.
    QLibrary plugin(pluginPath_);
    using Create = WebBrowser* (*)(QWidget*);
    const auto create = reinterpret_cast<Create>(plugin.resolve("veltraseCreateWebEngineBrowser"));
    if (!create) {
        // Said once; the window goes on, showing no pages.
        engineFailed_ = true;
        std::fprintf(stderr, "veltrase: cannot start the browser engine: %s\n", qUtf8Printable(plugin.errorString()));
        return false;
    }
    engine_ = create(this);
    engine_->setSilent(silent_);
    layout()->addWidget(engine_);
    setFocusProxy(engine_);
    connect(engine_, &WebBrowser::DocumentComplete, this, &WebBrowser::DocumentComplete);
    return true;
}

void EngineOnDemandBrowser::Navigate(const QString& urlText)
{
    if (startEngine())
        engine_->Navigate(urlText);
}

void EngineOnDemandBrowser::NavigateToFile(const QString& path)
{
    if (startEngine())
        engine_->NavigateToFile(path);
}

void EngineOnDemandBrowser::Stop()
{
    if (engine_)
        engine_->Stop();
}

void EngineOnDemandBrowser::setSilent(bool silent)
{
    silent_ = silent;
    if (engine_)
        engine_->setSilent(silent);
}
