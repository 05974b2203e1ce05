#include "playlist/url_entry_box.h"

#include "playlist/dropped_entries.h"

#include <QDropEvent>
#include <QMimeData>

QWidget* UrlEntryBox::controlOfThisWindow(const QDropEvent* event) const
{
    auto* source = qobject_cast<QWidget*>(event->source());
    return source && source != this && source->window() == window() ? source : nullptr;
}

bool UrlEntryBox::canTake(const QDropEvent* event) const
{
    // The box's own text dragged onto itself would only duplicate it.
    if (event->source() == this)
        return false;
    // Checked on every move of the mouse, so only asks what the data carries.
    const QMimeData* data = event->mimeData();
    return controlOfThisWindow(event) || data->hasUrls() || data->hasText();
}

void UrlEntryBox::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

// Accepted without moving the text cursor: nothing is inserted into the box.
void UrlEntryBox::dragMoveEvent(QDragMoveEvent* event)
{
    if (canTake(event)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void UrlEntryBox::dropEvent(QDropEvent* event)
{
    if (!canTake(event)) {
        event->ignore();
        return;
    }
    // A copy: the program the data came from keeps it.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (QWidget* source = controlOfThisWindow(event))
        emit controlDropped(source);
    else
        emit entriesDroppedFromOutside(droppedEntries(*event->mimeData()));
}
