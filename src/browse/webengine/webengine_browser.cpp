#include "browse/webengine/webengine_browser.h"

#include "browse/webengine/silent_page.h"
#include "browse/webengine/url_from_user_text.h"

#include <QDir>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineView>

WebEngineBrowser::WebEngineBrowser(QWidget* parent)
    : WebBrowser(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

WebEngineBrowser::~WebEngineBrowser()
{
    // The view goes first, then its page, then the profile the page lives in.
    delete view_;
    page_.reset();
    profile_.reset();
}

void WebEngineBrowser::startEngine()
{
    // An off-the-record profile: nothing is written to disk, and two instances of the
    // program can run side by side on one account.
    profile_ = std::make_unique<QWebEngineProfile>();
    connect(profile_.get(), &QWebEngineProfile::downloadRequested, this, [this](QWebEngineDownloadRequest* download) {
        // A page answered as a file: the screen keeps showing what it showed.
        if (silent_)
            download->cancel();
    });

    page_ = std::make_unique<SilentPage>(profile_.get(), nullptr);
    page_->setSilent(silent_);
    // A document that loaded, or failed to: a load halted by Stop never finished.
    connect(page_.get(), &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& loading) {
        if (loading.status() == QWebEngineLoadingInfo::LoadSucceededStatus
            || loading.status() == QWebEngineLoadingInfo::LoadFailedStatus)
            emit DocumentComplete();
    });
    connect(page_.get(), &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status != QWebEnginePage::NormalTerminationStatus)
                    reloadOnceAfterRendererDied();
            });

    view_ = new QWebEngineView(this);
    view_->setPage(page_.get());
    layout()->addWidget(view_);
    // The browser's place in the window's tab order passes focus on to the page.
    setFocusProxy(view_);
}

void WebEngineBrowser::reloadOnceAfterRendererDied()
{
    // An unattended screen must not stay blank until the next entry, but a page that
    // kills its renderer every time must not be reloaded in a loop either.
    if (reloadedAfterRendererDied_)
        return;
    reloadedAfterRendererDied_ = true;
    QMetaObject::invokeMethod(page_.get(), [page = page_.get()] { page->triggerAction(QWebEnginePage::Reload); },
                              Qt::QueuedConnection);
}

void WebEngineBrowser::Navigate(const QString& urlText)
{
    load(urlFromUserText(urlText, QDir::currentPath()));
}

void WebEngineBrowser::NavigateToFile(const QString& path)
{
    load(QUrl::fromLocalFile(path));
}

void WebEngineBrowser::load(const QUrl& url)
{
    if (!page_)
        startEngine();
    reloadedAfterRendererDied_ = false;
    page_->load(url);
}

void WebEngineBrowser::Stop()
{
    if (page_)
        page_->triggerAction(QWebEnginePage::Stop);
}

void WebEngineBrowser::setSilent(bool silent)
{
    silent_ = silent;
    if (page_)
        page_->setSilent(silent);
}
