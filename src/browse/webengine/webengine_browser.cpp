#include "browse/webengine/webengine_browser.h"

#include "browse/webengine/card_screen.h"
#include "browse/webengine/error_card.h"
#include "browse/webengine/kept_profile.h"
#include "browse/webengine/local_file_fence.h"
#include "browse/webengine/page_zoom.h"
#include "browse/webengine/renderer_watch.h"
#include "browse/webengine/silent_page.h"
#include "browse/webengine/url_from_user_text.h"

#include <QDir>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

// The engine's number for a load that gave way to another.
constexpr int kLoadAborted = -3;
// What the engine makes of an answer without a body.
constexpr char kEmptyDocument[] = "<html><head></head><body></body></html>";

} // namespace

WebEngineBrowser::WebEngineBrowser(QWidget* parent, const BrowserSettings& settings)
    : WebBrowser(parent)
    , settings_(settings)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    patience_.setSingleShot(true);
    connect(&patience_, &QTimer::timeout, this, [this] {
        if (!pageCameSinceNavigation())
            putCard(waitingCardHtml(navigatedUrl_.toDisplayString(), navigatedAt_),
                    QStringLiteral("still waiting: nothing has come from the server"));
    });
}

WebEngineBrowser::~WebEngineBrowser()
{
    // The views go first, then their pages, then the profile the pages live in.
    delete card_;
    delete view_;
    page_.reset();
    profile_.reset();
}

void WebEngineBrowser::startEngine()
{
    profile_ = std::make_unique<KeptProfile>(settings_.profileFolder);
    // A child of the browser, which outlives the profile.
    profile_->profile()->setUrlRequestInterceptor(new LocalFileFence(this));
    connect(profile_->profile(), &QWebEngineProfile::downloadRequested, this,
            [this](QWebEngineDownloadRequest* download) {
                // A page answered as a file: the screen keeps showing what it showed.
                if (silent_)
                    download->cancel();
            });
    rendererWatch_ = new RendererWatch(this);
    zoom_ = new PageZoom(settings_.zoomPercent, this);

    view_ = new QWebEngineView(this);
    makePage();
    layout()->addWidget(view_);
    // The browser's place in the window's tab order passes focus on to the page.
    setFocusProxy(view_);
    card_ = new CardScreen(this, view_, profile_->profile());
}

void WebEngineBrowser::makePage()
{
    // A page replaced because its renderer is stuck goes once the view has let it go;
    // the engine ends its renderer with it.
    const std::unique_ptr<SilentPage> replaced = std::move(page_);

    page_ = std::make_unique<SilentPage>(profile_->profile(), nullptr);
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
    connect(page_.get(), &QWebEnginePage::loadingChanged, this, &WebEngineBrowser::followLoading);
    view_->setPage(page_.get());
    zoom_->follow(page_.get());
    rendererWatch_->watch(page_.get());
}

void WebEngineBrowser::reloadOnceAfterRendererDied()
{
    // An unattended screen must not stay blank until the next entry, but a page that
    // kills its renderer every time must not be reloaded in a loop either.
    if (reloadedAfterRendererDied_)
        return;
    reloadedAfterRendererDied_ = true;
    QMetaObject::invokeMethod(
        page_.get(), [page = page_.get()] { page->triggerAction(QWebEnginePage::Reload); }, Qt::QueuedConnection);
}

void WebEngineBrowser::Navigate(const QString& urlText)
{
    if (isScriptText(urlText))
        refuseScript(urlText);
    else
        load(urlFromUserText(urlText, QDir::currentPath()));
}

void WebEngineBrowser::NavigateToFile(const QString& path)
{
    load(QUrl::fromLocalFile(path));
}

void WebEngineBrowser::load(const QUrl& url)
{
    if (ended_)
        return;
    if (!page_)
        startEngine();
    else if (rendererWatch_->isStuck())
        // The engine would wait for that renderer before leaving its page, for ever.
        makePage();
    reloadedAfterRendererDied_ = false;

    navigatedUrl_ = url;
    navigatedAt_ = QDateTime::currentDateTime();
    pageBeforeCameAt_ = page_->history()->currentItem().lastVisited();
    patience_.start(settings_.patience);
    page_->load(navigatedUrl_);
}

void WebEngineBrowser::refuseScript(const QString& text)
{
    // Loaded, a script entry would run inside the page on screen (a local file, a
    // logged-in dashboard) and could send what it shows anywhere.
    if (ended_)
        return;
    if (!page_)
        startEngine();
    patience_.stop();
    // The page before stays behind the card, and a load of it still coming must not
    // take the card's place.
    page_->triggerAction(QWebEnginePage::Stop);
    putCard(cardHtml(QStringLiteral("This entry is a script, not a page."), text,
                     {QStringLiteral("Scripts in a playlist are never run.")}),
            QStringLiteral("not shown: this entry is a script, not a page"));
    // The window fits itself and goes on as after a page that failed to load.
    QMetaObject::invokeMethod(this, &WebBrowser::DocumentComplete, Qt::QueuedConnection);
}

void WebEngineBrowser::Stop()
{
    // A load halted on purpose is not a page that failed to come.
    patience_.stop();
    if (page_)
        page_->triggerAction(QWebEnginePage::Stop);
}

void WebEngineBrowser::setSilent(bool silent)
{
    silent_ = silent;
    if (page_)
        page_->setSilent(silent);
}

void WebEngineBrowser::endSession()
{
    if (std::exchange(ended_, true))
        return;
    patience_.stop();
    if (!profile_)
        return;
    delete card_;
    card_ = nullptr;
    delete view_;
    view_ = nullptr;
    page_.reset();
    profile_->close();
}

void WebEngineBrowser::showCard(const QString& headline, const QString& subject, const QString& reason)
{
    if (ended_)
        return;
    if (!page_)
        startEngine();
    // No page is coming: the card is all there is to show.
    patience_.stop();
    putCard(cardHtml(headline, subject, {reason}), QStringLiteral("%1: %2").arg(headline, reason));
}

void WebEngineBrowser::putCard(const QString& html, const QString& reason)
{
    card_->showCard(html);
    cardPut_ = true;
    emit cardShown(reason);
}

void WebEngineBrowser::putPage()
{
    card_->showPage();
    if (std::exchange(cardPut_, false))
        emit cardShown({});
}

bool WebEngineBrowser::pageCameSinceNavigation() const
{
    // The engine stamps a history entry with the moment its document arrives.
    return page_->history()->currentItem().lastVisited() != pageBeforeCameAt_;
}

void WebEngineBrowser::followLoading(const QWebEngineLoadingInfo& loading)
{
    switch (loading.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        loadStartedAt_ = QDateTime::currentDateTime();
        rendererWatch_->forgetQuestions();
        break;
    case QWebEngineLoadingInfo::LoadStoppedStatus: patience_.stop(); break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        patience_.stop();
        putPage();
        break;
    case QWebEngineLoadingInfo::LoadFailedStatus:
        patience_.stop();
        failLoad(loading);
        break;
    }
}

void WebEngineBrowser::failLoad(const QWebEngineLoadingInfo& loading)
{
    // A load cut short by the next entry is that entry's business.
    if (loading.errorCode() == kLoadAborted)
        return;
    const auto card = [this, address = loading.url().toDisplayString(),
                       reason = reasonInWords(loading.errorDomain(), loading.errorCode(), loading.errorString()),
                       attempted = loadStartedAt_] {
        putCard(failureCardHtml(address, reason, attempted), QStringLiteral("cannot be shown: %1").arg(reason));
    };
    // The engine's own error page is disabled: small print for a screen across a room,
    // and chatter in the log. A site's own error page is the site's to show, unless it
    // is empty.
    if (!pageCameSinceNavigation()) {
        card();
        return;
    }
    if (loading.errorDomain() != QWebEngineLoadingInfo::HttpStatusCodeDomain) {
        putPage();
        return;
    }
    // The engine answers a page it lets go of with nothing: a page replaced, or gone
    // with the browser, has no say any more; nor has an earlier entry.
    page_->toHtml([this, card, page = page_.get(), navigatedAt = navigatedAt_](const QString& html) {
        if (page != page_.get() || navigatedAt != navigatedAt_)
            return;
        if (html == QLatin1String(kEmptyDocument))
            card();
        else
            putPage();
    });
}

QWebEngineView* WebEngineBrowser::cardView() const
{
    return card_ ? card_->cardView() : nullptr;
}

bool WebEngineBrowser::isShowingCard() const
{
    return card_ && card_->isShowingCard();
}
