#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWebEnginePage;
class QWidget;

// The zoom of a session: every page is shown at it. While the browser has focus,
// Ctrl+plus and Ctrl+minus step it up and down for the rest of the session, and
// Ctrl+0 brings back the zoom the session began with.
class PageZoom final : public QObject {
    Q_OBJECT

public:
    PageZoom(int startPercent, QWidget* browser);

    int percent() const { return percent_; }
    // A page that shows from now on, beside those followed before; it takes the
    // session's zoom.
    void follow(QWebEnginePage* page);

private:
    void setPercent(int percent);

    const int startPercent_;
    int percent_;
    QList<QPointer<QWebEnginePage>> pages_;
};

// The next zoom from percent, steps up (positive) or down, on the usual ladder of
// browser zooms from 25 to 500 percent; a zoom between two rungs steps to the nearer
// one in that direction.
int steppedZoomPercent(int percent, int steps);
