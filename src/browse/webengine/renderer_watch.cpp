#include "browse/webengine/renderer_watch.h"

#include <QWebEnginePage>
#include <QWebEngineScript>

namespace {

constexpr int kAskEveryMs = 200;
constexpr qint64 kStuckAfterMs = 250;

} // namespace

RendererWatch::RendererWatch(QObject* parent)
    : QObject(parent)
{
    connect(&timer_, &QTimer::timeout, this, &RendererWatch::ask);
}

void RendererWatch::watch(QWebEnginePage* page)
{
    page_ = page;
    forgetQuestions();
    timer_.start(kAskEveryMs);
}

void RendererWatch::forgetQuestions()
{
    ++round_;
    waiting_ = false;
}

bool RendererWatch::isStuck() const
{
    return waiting_ && unanswered_.elapsed() >= kStuckAfterMs;
}

void RendererWatch::ask()
{
    if (!page_ || waiting_)
        return;
    waiting_ = true;
    unanswered_.start();
    // In a world of its own, so the page's scripts never see the question.
    page_->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                         [this, round = round_](const QVariant&) {
                             if (round == round_)
                                 waiting_ = false;
                         });
}
