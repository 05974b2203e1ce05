#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QWebEnginePage;

// Tells whether a page's renderer still answers. A page whose script never yields
// holds its renderer, and the engine then never leaves the page: it waits for that
// renderer to agree. The watch asks the renderer a trivial question five times a
// second; one left unanswered for a quarter of a second means it is stuck.
class RendererWatch final : public QObject {
    Q_OBJECT

public:
    explicit RendererWatch(QObject* parent);

    void watch(QWebEnginePage* page);
    // A new document is on its way: questions asked of the old one no longer count.
    void forgetQuestions();
    bool isStuck() const;

private:
    void ask();

    QPointer<QWebEnginePage> page_;
    QTimer timer_;
    QElapsedTimer unanswered_;
    quint64 round_ = 0;
    bool waiting_ = false;
};
