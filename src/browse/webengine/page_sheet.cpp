#include "browse/webengine/page_sheet.h"

#include "browse/webengine/silent_page.h"

#include <QPointer>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace {

// A renderer that has not answered a trivial question in this time is stuck.
constexpr int kAnswerWithinMs = 1000;
// How often a loaded page is asked whether it is drawn, and for how long at most: a
// page whose pictures never decode goes on the screen as it is.
constexpr int kDrawnLookEveryMs = 25;
constexpr int kMostDrawnLooks = 200;
// From the page's second frame to the frame on the screen.
constexpr int kFrameToScreenMs = 50;

// In a world of its own, so the page's scripts never see it: true once the pictures the
// page has loaded are decoded and two frames have been made since.
const char kDrawnQuestion[] = R"((function () {
  if (window.drawnForSwitch === undefined) {
    window.drawnForSwitch = false;
    const pictures = Array.from(document.images).filter(p => p.complete && p.naturalWidth > 0);
    Promise.all(pictures.map(p => p.decode().catch(() => {})))
      .then(() => requestAnimationFrame(() => requestAnimationFrame(() => { window.drawnForSwitch = true; })));
  }
  return window.drawnForSwitch;
})())";

} // namespace

PageSheet::PageSheet(QWebEngineProfile* profile, QWidget* browser, bool silent)
    : QObject(browser)
    , silent_(silent)
    , profile_(profile)
    , view_(new QWebEngineView(browser))
{
    drawnLook_.setInterval(kDrawnLookEveryMs);
    connect(&drawnLook_, &QTimer::timeout, this, &PageSheet::lookWhetherDrawn);
    makePage();
}

PageSheet::~PageSheet()
{
    // The engine answers questions of a page it lets go of; nobody is there to hear.
    closing_ = true;
    delete view_;
    page_.reset();
}

QWebEnginePage* PageSheet::page() const
{
    return page_.get();
}

void PageSheet::setSilent(bool silent)
{
    silent_ = silent;
    page_->setSilent(silent);
}

void PageSheet::makePage()
{
    // A page replaced because its renderer is stuck goes once the view has let it go;
    // the engine ends its renderer with it.
    const std::unique_ptr<SilentPage> replaced = std::move(page_);

    page_ = std::make_unique<SilentPage>(profile_, nullptr);
    page_->setSilent(silent_);
    connect(page_.get(), &QWebEnginePage::loadingChanged, this, &PageSheet::followLoading);
    connect(page_.get(), &QWebEnginePage::titleChanged, this, &PageSheet::titleChanged);
    connect(page_.get(), &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status != QWebEnginePage::NormalTerminationStatus)
                    reloadOnceAfterRendererDied();
            });
    view_->setPage(page_.get());
    hadLoad_ = false;
    documentBeforeCameAt_ = {};
    emit pageMade(page_.get());
}

void PageSheet::load(const QUrl& url)
{
    const quint64 round = ++round_;
    drawnLook_.stop();
    loadFinished_ = drawn_ = false;
    reloadedAfterRendererDied_ = false;
    documentBeforeCameAt_ = page_->history()->currentItem().lastVisited();
    // A page that never loaded has no renderer to ask.
    if (!hadLoad_) {
        begin(url);
        return;
    }
    waitingToLoad_ = url;
    const auto loadIfStill = [this, round](bool answered) {
        if (closing_ || round != round_ || !waitingToLoad_)
            return;
        // Taken first: the page let go of answers its questions as it goes.
        const QUrl url = *std::exchange(waitingToLoad_, std::nullopt);
        if (!answered)
            makePage();
        begin(url);
    };
    // Asked in the page's own world, which is there already: a world of our own would be
    // made for each page just to answer this. A literal does nothing the page could see.
    page_->runJavaScript(QStringLiteral("0"), QWebEngineScript::MainWorld,
                         [sheet = QPointer(this), loadIfStill](const QVariant&) {
                             if (sheet)
                                 loadIfStill(true);
                         });
    QTimer::singleShot(kAnswerWithinMs, this, [loadIfStill] { loadIfStill(false); });
}

void PageSheet::begin(const QUrl& url)
{
    hadLoad_ = true;
    page_->load(url);
}

void PageSheet::stop()
{
    ++round_;
    waitingToLoad_.reset();
    drawnLook_.stop();
    page_->triggerAction(QWebEnginePage::Stop);
}

bool PageSheet::documentCame() const
{
    // The engine stamps a history entry with the moment its document arrives.
    const QDateTime cameAt = page_->history()->currentItem().lastVisited();
    return cameAt.isValid() && cameAt != documentBeforeCameAt_;
}

void PageSheet::followLoading(const QWebEngineLoadingInfo& loading)
{
    const bool finished = loading.status() == QWebEngineLoadingInfo::LoadSucceededStatus
                          || loading.status() == QWebEngineLoadingInfo::LoadFailedStatus;
    loadFinished_ = finished;
    if (loading.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        drawn_ = false;
        drawnLook_.stop();
    }
    emit loadingChanged(loading);
    if (finished && watchesDrawing_ && documentCame()) {
        drawnLooks_ = 0;
        drawnLook_.start();
    }
}

void PageSheet::lookWhetherDrawn()
{
    if (++drawnLooks_ > kMostDrawnLooks) {
        drawnLook_.stop();
        drawn_ = true;
        emit drawn();
        return;
    }
    page_->runJavaScript(QLatin1String(kDrawnQuestion), QWebEngineScript::ApplicationWorld,
                         [sheet = QPointer(this), round = round_](const QVariant& answer) {
                             if (!sheet || sheet->closing_ || round != sheet->round_ || !answer.toBool()
                                 || !sheet->drawnLook_.isActive())
                                 return;
                             sheet->drawnLook_.stop();
                             QTimer::singleShot(kFrameToScreenMs, sheet, [sheet, round] {
                                 if (round != sheet->round_ || sheet->loadFinished_ == false)
                                     return;
                                 sheet->drawn_ = true;
                                 emit sheet->drawn();
                             });
                         });
}

void PageSheet::reloadOnceAfterRendererDied()
{
    // An unattended screen must not stay blank until the next entry, but a page that
    // kills its renderer every time must not be reloaded in a loop either.
    if (reloadedAfterRendererDied_)
        return;
    reloadedAfterRendererDied_ = true;
    QMetaObject::invokeMethod(
        page_.get(), [page = page_.get()] { page->triggerAction(QWebEnginePage::Reload); }, Qt::QueuedConnection);
}
