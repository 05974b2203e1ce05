#pragma once

#include <QLineEdit>
#include <QStringList>

class QMimeData;

// The URL entry box of the playlist. Whatever is dropped on it goes to the end of the
// playlist instead of into the box: URLs or lines of text from another program or from
// the page the browser shows, or the text of a control of this window that a drag
// started from.
class UrlEntryBox final : public QLineEdit {
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

    // Takes what a drag that started at source carries (source is null for a drag from
    // another program); false when the box will not take it.
    bool drop(const QMimeData& data, QObject* source);

signals:
    void entriesDroppedFromOutside(const QStringList& entries);
    void controlDropped(QWidget* source);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* controlOfThisWindow(QObject* source) const;
    bool canTake(const QMimeData& data, QObject* source) const;
};
