#include "browse/webengine/webengine_browser.h"

#include "browse/webengine/card_screen.h"
#include "browse/webengine/error_card.h"
#include "browse/webengine/kept_profile.h"
#include "browse/webengine/local_file_fence.h"
#include "browse/webengine/page_sheet.h"
#include "browse/webengine/page_zoom.h"
#include "browse/webengine/sheet_stack.h"
#include "browse/webengine/silent_page.h"
#include "browse/webengine/url_from_user_text.h"

#include <QDir>
#include <QStackedLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
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
    // Preloading, the sheet that loads the next page is drawn too: only the front one is seen.
    , views_(new SheetStack(this, settings_.preload))
{
    patience_.setSingleShot(true);
    connect(&patience_, &QTimer::timeout, this, &WebEngineBrowser::waitedTooLong);
    // A page or a card that comes forward while dark waits behind the dark.
    connect(views_, &QStackedLayout::currentChanged, this, [this] {
        if (dark_ && views_->currentWidget() != darkness_) {
            litBefore_ = views_->currentWidget();
            views_->setCurrentWidget(darkness_);
        }
    });
}

void WebEngineBrowser::setDark(bool dark)
{
    if (std::exchange(dark_, dark) == dark)
        return;
    if (dark) {
        if (!darkness_) {
            darkness_ = new QWidget(this);
            darkness_->setAutoFillBackground(true);
            QPalette black = darkness_->palette();
            black.setColor(QPalette::Window, Qt::black);
            darkness_->setPalette(black);
            views_->addWidget(darkness_);
        }
        litBefore_ = views_->currentWidget();
        // One view at a time: the pages behind are hidden, so the engine draws none.
        views_->setDrawAll(false);
        bringForward(this, views_, darkness_);
        return;
    }
    views_->setDrawAll(settings_.preload);
    if (litBefore_)
        bringForward(this, views_, litBefore_);
}

WebEngineBrowser::~WebEngineBrowser()
{
    // The views go first, then their pages, then the profile the pages live in.
    delete card_;
    sheets_[0].reset();
    sheets_[1].reset();
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
    zoom_ = new PageZoom(settings_.zoomPercent, this);

    if (settings_.preload) {
        curtain_ = new QWidget(this);
        curtain_->setAutoFillBackground(true);
        QPalette dark = curtain_->palette();
        dark.setColor(QPalette::Window, kCardBackground);
        curtain_->setPalette(dark);
        views_->addWidget(curtain_);
    }
    shown_ = coming_ = addSheet();
    if (settings_.preload)
        coming_ = addSheet();
    card_ = new CardScreen(this, views_, profile_->profile());
}

PageSheet* WebEngineBrowser::addSheet()
{
    std::unique_ptr<PageSheet>& slot = sheets_[sheets_[0] ? 1 : 0];
    slot = std::make_unique<PageSheet>(profile_->profile(), this, silent_);
    PageSheet* sheet = slot.get();
    QWidget* front = views_->currentWidget();
    views_->addWidget(sheet->view());
    // A sheet that joins the stack stays behind the one on the screen.
    bringForward(this, views_, front ? front : sheet->view());
    if (settings_.preload)
        sheet->watchDrawing();
    zoom_->follow(sheet->page());
    connect(sheet, &PageSheet::pageMade, zoom_, &PageZoom::follow);
    if (settings_.preload) {
        sheet->page()->setAudioMuted(sheet != shown_);
        connect(sheet, &PageSheet::pageMade, this,
                [this, sheet](QWebEnginePage* page) { page->setAudioMuted(sheet != shown_); });
    }
    connect(sheet, &PageSheet::loadingChanged, this,
            [this, sheet](const QWebEngineLoadingInfo& loading) { followLoading(sheet, loading); });
    connect(sheet, &PageSheet::titleChanged, this, [this, sheet](const QString& title) {
        if (sheet == shown_)
            emit titleChanged(title);
    });
    connect(sheet, &PageSheet::drawn, this, [this, sheet] {
        if (sheet == coming_)
            switchWhenReady();
    });
    return sheet;
}

void WebEngineBrowser::Navigate(const QString& urlText)
{
    if (isScriptText(urlText))
        refuseScript(urlText);
    else
        navigateTo(urlFromUserText(urlText, QDir::currentPath()), urlText);
}

void WebEngineBrowser::NavigateToFile(const QString& path)
{
    navigateTo(QUrl::fromLocalFile(path), {});
}

bool WebEngineBrowser::engineReady()
{
    if (ended_)
        return false;
    if (!profile_)
        startEngine();
    return true;
}

void WebEngineBrowser::giveUpWaiting()
{
    patience_.stop();
    switchWaiting_ = false;
    preparedText_.clear();
}

void WebEngineBrowser::navigateTo(const QUrl& url, const QString& urlText)
{
    if (!engineReady())
        return;
    navigatedUrl_ = url;
    navigatedAt_ = QDateTime::currentDateTime();
    patience_.start(settings_.patience);
    if (!settings_.preload) {
        loadComing(url);
        return;
    }
    // Asked for before its turn: it may be drawn already.
    if (urlText.isEmpty() || urlText != std::exchange(preparedText_, {}))
        loadComing(url);
    switchWaiting_ = true;
    switchWhenReady();
}

void WebEngineBrowser::prepare(const QString& urlText)
{
    if (!settings_.preload || ended_ || (!profile_ && urlText.isEmpty()))
        return;
    if (!profile_)
        startEngine();
    // A script entry is never loaded; its card comes at its turn.
    if (urlText.isEmpty() || isScriptText(urlText)) {
        preparedText_.clear();
        coming_->stop();
        return;
    }
    preparedText_ = urlText;
    loadComing(urlFromUserText(urlText, QDir::currentPath()));
}

void WebEngineBrowser::loadComing(const QUrl& url)
{
    ++loads_;
    outcome_ = Outcome::Pending;
    outcomeCard_ = {};
    zoom_->setOwnZoom(coming_->page(), entryZoom_);
    coming_->load(url);
}

void WebEngineBrowser::refuseScript(const QString& text)
{
    // Loaded, a script entry would run inside the page on screen (a local file, a
    // logged-in dashboard) and could send what it shows anywhere.
    if (!engineReady())
        return;
    giveUpWaiting();
    // The page before stays behind the card, and a load of it still coming must not
    // take the card's place.
    coming_->stop();
    putCard(cardHtml(QStringLiteral("This entry is a script, not a page."), text,
                     {QStringLiteral("Scripts in a playlist are never run.")}),
            QStringLiteral("not shown: this entry is a script, not a page"));
    // The window fits itself and goes on as after a page that failed to load.
    QMetaObject::invokeMethod(this, &WebBrowser::DocumentComplete, Qt::QueuedConnection);
    emit shown();
}

void WebEngineBrowser::Stop()
{
    // A load halted on purpose is not a page that failed to come.
    giveUpWaiting();
    for (const auto& sheet : sheets_)
        if (sheet)
            sheet->stop();
}

void WebEngineBrowser::setSilent(bool silent)
{
    silent_ = silent;
    for (const auto& sheet : sheets_)
        if (sheet)
            sheet->setSilent(silent);
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
    shown_ = coming_ = nullptr;
    sheets_[0].reset();
    sheets_[1].reset();
    profile_->close();
}

void WebEngineBrowser::showCard(const QString& headline, const QString& subject, const QString& reason)
{
    if (!engineReady())
        return;
    // No page is coming: the card is all there is to show.
    giveUpWaiting();
    putCard(cardHtml(headline, subject, {reason}), QStringLiteral("%1: %2").arg(headline, reason));
    emit shown();
}

void WebEngineBrowser::putCard(const QString& html, const QString& reason)
{
    card_->showCard(html);
    cardPut_ = true;
    emit cardShown(reason);
}

void WebEngineBrowser::putPage()
{
    card_->showPage(shown_->view());
    if (std::exchange(cardPut_, false))
        emit cardShown({});
}

void WebEngineBrowser::bringComingForward()
{
    std::swap(shown_, coming_);
    // A page underneath is seen by nobody, and heard by nobody either.
    shown_->page()->setAudioMuted(false);
    coming_->page()->setAudioMuted(true);
    putPage();
    emit titleChanged(title());
}

void WebEngineBrowser::followLoading(PageSheet* sheet, const QWebEngineLoadingInfo& loading)
{
    // Preloading, the sheet on the screen only says when it has loaded again; the one
    // underneath counts while a page is asked of it.
    const bool onScreen = sheet == shown_;
    const bool asked = sheet == coming_ && (switchWaiting_ || !preparedText_.isEmpty());
    const bool finished = loading.status() == QWebEngineLoadingInfo::LoadSucceededStatus
                          || loading.status() == QWebEngineLoadingInfo::LoadFailedStatus;
    // A document that loaded, or failed to: a load halted by Stop never finished.
    if (onScreen && finished)
        emit DocumentComplete();
    if (!asked && !(onScreen && !settings_.preload))
        return;

    switch (loading.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus: loadStartedAt_ = QDateTime::currentDateTime(); break;
    case QWebEngineLoadingInfo::LoadStoppedStatus: patience_.stop(); break;
    case QWebEngineLoadingInfo::LoadSucceededStatus: settle(Outcome::Page); break;
    case QWebEngineLoadingInfo::LoadFailedStatus: failLoad(loading); break;
    }
}

void WebEngineBrowser::failLoad(const QWebEngineLoadingInfo& loading)
{
    // A load cut short by the next entry is that entry's business.
    if (loading.errorCode() == kLoadAborted)
        return;
    const QString reason = reasonInWords(loading.errorDomain(), loading.errorCode(), loading.errorString());
    const Card card{failureCardHtml(loading.url().toDisplayString(), reason, loadStartedAt_),
                    QStringLiteral("cannot be shown: %1").arg(reason)};
    // The engine's own error page is disabled: small print for a screen across a room,
    // and chatter in the log. A site's own error page is the site's to show, unless it
    // is empty.
    if (!coming_->documentCame()) {
        settle(Outcome::Card, card);
        return;
    }
    if (loading.errorDomain() != QWebEngineLoadingInfo::HttpStatusCodeDomain) {
        settle(Outcome::Page);
        return;
    }
    // The engine answers a page it lets go of with nothing: a page replaced, or gone
    // with the browser, has no say any more; nor has an earlier load.
    coming_->page()->toHtml([this, card, page = coming_->page(), load = loads_](const QString& html) {
        if (ended_ || page != coming_->page() || load != loads_)
            return;
        settle(html == QLatin1String(kEmptyDocument) ? Outcome::Card : Outcome::Page, card);
    });
}

void WebEngineBrowser::settle(Outcome outcome, const Card& card)
{
    outcome_ = outcome;
    outcomeCard_ = card;
    if (settings_.preload) {
        // Known before its turn, the card is made ready behind the screen too, unless a
        // card is on it.
        if (outcome == Outcome::Card && !switchWaiting_ && !isShowingCard())
            card_->prepareCard(card.html);
        switchWhenReady();
        return;
    }
    patience_.stop();
    if (outcome == Outcome::Page)
        putPage();
    else
        putCard(outcomeCard_.html, outcomeCard_.reason);
}

void WebEngineBrowser::switchWhenReady()
{
    if (!switchWaiting_ || outcome_ == Outcome::Pending || (outcome_ == Outcome::Page && !coming_->isDrawn()))
        return;
    switchWaiting_ = false;
    patience_.stop();
    if (outcome_ == Outcome::Card) {
        putCard(outcomeCard_.html, outcomeCard_.reason);
    } else {
        bringComingForward();
        // The window hears of the page once it is on the screen.
        if (shown_->loadFinished())
            QMetaObject::invokeMethod(this, &WebBrowser::DocumentComplete, Qt::QueuedConnection);
    }
    emit shown();
}

void WebEngineBrowser::waitedTooLong()
{
    PageSheet* sheet = settings_.preload ? coming_ : shown_;
    const bool cameSomething = sheet->documentCame() && outcome_ != Outcome::Card;
    if (settings_.preload && switchWaiting_) {
        // What has come goes on the screen as it is; nothing at all gives way to a card.
        switchWaiting_ = false;
        if (cameSomething)
            bringComingForward();
    }
    if (!cameSomething)
        putCard(waitingCardHtml(navigatedUrl_.toDisplayString(), navigatedAt_),
                QStringLiteral("still waiting: nothing has come from the server"));
    if (settings_.preload)
        emit shown();
}

void WebEngineBrowser::reload()
{
    if (shown_)
        shown_->page()->triggerAction(QWebEnginePage::Reload);
}

QString WebEngineBrowser::title() const
{
    return shown_ ? shown_->page()->title() : QString();
}

QWebEngineView* WebEngineBrowser::view() const
{
    return shown_ ? shown_->view() : nullptr;
}

QWebEngineView* WebEngineBrowser::cardView() const
{
    return card_ ? card_->cardView() : nullptr;
}

bool WebEngineBrowser::isShowingCard() const
{
    return card_ && card_->isShowingCard();
}
