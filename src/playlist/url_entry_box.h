#pragma once

#include <QLineEdit>
#include <QStringList>

// The URL entry box of the playlist. Whatever is dropped on it goes to the end of the
// playlist instead of into the box: URLs or lines of text from another program, or the
// text of a control of this window that a drag started from.
class UrlEntryBox final : public QLineEdit {
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

signals:
    void entriesDroppedFromOutside(const QStringList& entries);
    void controlDropped(QWidget* source);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* controlOfThisWindow(const QDropEvent* event) const;
    bool canTake(const QDropEvent* event) const;
};
