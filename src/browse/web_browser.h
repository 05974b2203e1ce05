#pragma once

#include <QWidget>

#include <optional>

// The embedded browser as the window drives it. Its visibility and size are the
// widget's own; the window places it in twips like every other control.
class WebBrowser : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    // Begins to load what the user wrote (a URL, a bare host name or a local path)
    // and returns at once.
    virtual void Navigate(const QString& urlText) = 0;
    // Begins to load a local file, named by its path as it is: a "?" or "#" in a
    // folder's name is part of the name there, never a query or a fragment.
    virtual void NavigateToFile(const QString& path) = 0;
    // Asks for the page the next Navigate will name, so that it is drawn before its turn
    // and goes on the screen in one step; an empty text lets go of a page asked for.
    virtual void prepare(const QString& urlText) { Q_UNUSED(urlText) }
    // The zoom of the pages asked for from now on: an entry's own, or none for the
    // session's.
    virtual void setEntryZoom(std::optional<int> percent) { Q_UNUSED(percent) }
    // Dark: the screen shows nothing, and no page behind it is drawn, until light again.
    virtual void setDark(bool dark) { Q_UNUSED(dark) }
    // Loads the page on the screen again.
    virtual void reload() { }
    // Halts any load in progress.
    virtual void Stop() = 0;
    // While silent, neither the engine nor the page ever opens a dialog or a window.
    virtual void setSilent(bool silent) = 0;
    // Before the program ends: the engine puts what sites keep (a login's cookies) on
    // disk and lets go of it, so a login made a moment ago is there after a restart.
    // Returns when that is done; the browser shows nothing more afterwards.
    virtual void endSession() { }
    // Puts a card of the program's own on the screen in place of any page: a headline,
    // what it is about (an address, a playlist's path) and why, for a screen that has
    // nothing to show and nobody to read a message box.
    virtual void showCard(const QString& headline, const QString& subject, const QString& reason) = 0;
    // The title of the page on the screen.
    virtual QString title() const { return {}; }

signals:
    // The page the last Navigate asked for, or a card in its place, is on the screen.
    void shown();
    // After every finished load, successful or not, whoever started it.
    void DocumentComplete();
    // A card took the screen in place of the page asked for, for this reason in plain
    // words; an empty reason once a page shows again.
    void cardShown(const QString& reason);
    // The page on the screen has a new title, or another page with its own came forward.
    void titleChanged(const QString& title);
};
