#pragma once

#include <functional>

class QString;
class QWidget;

// Every message the program shows: OK only, no icon, the application title as caption.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows the message and returns when it has been dismissed.
    virtual void inform(QWidget* parent, const QString& text) = 0;
    // Opens the message over its window and returns at once: a run goes on while it is
    // open. whenClosed runs once it is dismissed, unless the window is gone by then.
    virtual void informWithoutWaiting(QWidget* parent, const QString& text, std::function<void()> whenClosed) = 0;
};

class QtMessageBoxes final : public MessageBoxes {
public:
    void inform(QWidget* parent, const QString& text) override;
    void informWithoutWaiting(QWidget* parent, const QString& text, std::function<void()> whenClosed) override;
};
