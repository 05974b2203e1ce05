#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <memory>
#include <optional>

class QWebEngineLoadingInfo;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;
class QWidget;
class SilentPage;

// One page of the browser and the view that draws it. The browser shows one sheet and,
// while preloading, loads the next entry into another one beside it, out of sight, which
// the engine draws as it would a page on the screen: it draws nothing for a hidden view.
class PageSheet final : public QObject {
    Q_OBJECT

public:
    PageSheet(QWebEngineProfile* profile, QWidget* browser, bool silent);
    ~PageSheet() override;

    QWebEngineView* view() const { return view_; }
    QWebEnginePage* page() const;
    void setSilent(bool silent);
    // After each load the sheet finds out when the page is drawn (drawn()).
    void watchDrawing() { watchesDrawing_ = true; }

    // Loads the address once the page there now has shown it is alive. A page whose
    // script never yields holds its renderer, and the engine then never leaves it: such
    // a page is replaced, its renderer ended with it. Asking only when the page is to be
    // left costs a page nothing while it shows.
    void load(const QUrl& url);
    void stop();
    // A document has come since the last load began.
    bool documentCame() const;
    bool loadFinished() const { return loadFinished_; }
    // The last load's document is drawn, its pictures decoded.
    bool isDrawn() const { return drawn_; }

signals:
    void pageMade(QWebEnginePage* page);
    void loadingChanged(const QWebEngineLoadingInfo& loading);
    void titleChanged(const QString& title);
    void drawn();

private:
    void makePage();
    void begin(const QUrl& url);
    void followLoading(const QWebEngineLoadingInfo& loading);
    void lookWhetherDrawn();
    void reloadOnceAfterRendererDied();

    bool silent_;
    bool watchesDrawing_ = false;
    QWebEngineProfile* profile_;
    std::unique_ptr<SilentPage> page_;
    QWebEngineView* view_ = nullptr;
    bool closing_ = false;
    bool hadLoad_ = false;
    bool reloadedAfterRendererDied_ = false;
    // Each load, and each Stop, makes the answers to earlier questions void.
    quint64 round_ = 0;
    std::optional<QUrl> waitingToLoad_;
    // The moment the document before the last load came.
    QDateTime documentBeforeCameAt_;
    bool loadFinished_ = false;
    bool drawn_ = false;
    QTimer drawnLook_;
    int drawnLooks_ = 0;
};
