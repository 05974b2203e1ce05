#include "browse/engine_on_demand_browser.h"

#include <QLibrary>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QVBoxLayout>

#include <cstdio>

EngineOnDemandBrowser::EngineOnDemandBrowser(const QString& pluginPath, QWidget* parent,
                                             const BrowserSettings& settings)
    : WebBrowser(parent)
    , pluginPath_(pluginPath)
    , settings_(settings)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    prepareWindowForEngine();
}

void EngineOnDemandBrowser::prepareWindowForEngine()
{
    // The engine's view draws through GL into the window. Added to a window already on
    // the screen, it makes Qt replace the window's native window with one that suits GL:
    // the window vanishes and, under a window manager, comes back elsewhere and no longer
    // maximized. A GL widget that never shows gives the window that kind of surface from
    // its first showing. Without GL (the offscreen platform) the engine draws without it.
    const QOpenGLContext* shared = QOpenGLContext::globalShareContext();
    if (shared && shared->isValid())
        (new QOpenGLWidget(this))->hide();
}

bool EngineOnDemandBrowser::startEngine()
{
    if (engine_)
        return true;
    if (engineFailed_)
        return false;

    // Kept loaded for the life of the process: QLibrary does not unload on destruction.
    QLibrary plugin(pluginPath_);
    using Create = WebBrowser* (*)(QWidget*, const BrowserSettings*);
    const auto create = reinterpret_cast<Create>(plugin.resolve("veltraseCreateWebEngineBrowser"));
    if (!create) {
        // Said once; the window goes on, showing no pages.
        engineFailed_ = true;
        std::fprintf(stderr, "veltrase: cannot start the browser engine: %s\n", qUtf8Printable(plugin.errorString()));
        return false;
    }
    engine_ = create(this, &settings_);
    engine_->setSilent(silent_);
    engine_->setEntryZoom(entryZoom_);
    engine_->setDark(dark_);
    layout()->addWidget(engine_);
    setFocusProxy(engine_);
    connect(engine_, &WebBrowser::DocumentComplete, this, &WebBrowser::DocumentComplete);
    connect(engine_, &WebBrowser::cardShown, this, &WebBrowser::cardShown);
    connect(engine_, &WebBrowser::shown, this, &WebBrowser::shown);
    connect(engine_, &WebBrowser::titleChanged, this, &WebBrowser::titleChanged);
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

void EngineOnDemandBrowser::prepare(const QString& urlText)
{
    // Nothing to let go of before the engine runs.
    if (engine_ || (!urlText.isEmpty() && startEngine()))
        engine_->prepare(urlText);
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

void EngineOnDemandBrowser::endSession()
{
    if (engine_)
        engine_->endSession();
}

void EngineOnDemandBrowser::showCard(const QString& headline, const QString& subject, const QString& reason)
{
    if (startEngine())
        engine_->showCard(headline, subject, reason);
}
