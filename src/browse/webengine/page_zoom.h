#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

#include <optional>

class QWebEnginePage;
class QWidget;

// The zoom of a session: every page is shown at it, but for a playlist entry with a
// zoom of its own. While the browser has focus, Ctrl+plus and Ctrl+minus step it up
// and down for every page for the rest of the session, and Ctrl+0 brings back the zoom
// the session began with.
class PageZoom final : public QObject {
    Q_OBJECT

public:
    PageZoom(int startPercent, QWidget* browser);

    int percent() const { return percent_; }
    // A page that shows from now on, beside those followed before; it takes the
    // session's zoom.
    void follow(QWebEnginePage* page);
    // What the page loads next shows at: an entry's own zoom, or none for the session's.
    void setOwnZoom(QWebEnginePage* page, std::optional<int> percent);

private:
    void setPercent(int percent);

    const int startPercent_;
    int percent_;
    QList<QPointer<QWebEnginePage>> pages_;
    QHash<QWebEnginePage*, int> ownZooms_;
};

// The next zoom from percent, steps up (positive) or down, on the usual ladder of
// browser zooms from 25 to 500 percent; a zoom between two rungs steps to the nearer
// one in that direction.
int steppedZoomPercent(int percent, int steps);
