#include "playlist/url_entry_box.h"

#include "browse/web_browser.h"
#include "playlist/dropped_entries.h"

#include <QDropEvent>
#include <QMimeData>

namespace {

// A page shown in the browser is another program's content: what a drag from it carries
// is its data, and the engine's view has no text of its own to give.
bool isInBrowser(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget()) {
        if (qobject_cast<const WebBrowser*>(widget))
            return true;
    }
    return false;
}

} // namespace

QWidget* UrlEntryBox::controlOfThisWindow(QObject* source) const
{
    auto* control = qobject_cast<QWidget*>(source);
    return control && control != this && control->window() == window() && !isInBrowser(control) ? control : nullptr;
}

bool UrlEntryBox::canTake(const QMimeData& data, QObject* source) const
{
    // The box's own text dragged onto itself would only duplicate it.
    if (source == this)
        return false;
    // Checked on every move of the mouse, so only asks what the data carries.
    return controlOfThisWindow(source) || data.hasUrls() || data.hasText();
}

bool UrlEntryBox::drop(const QMimeData& data, QObject* source)
{
    if (!canTake(data, source))
        return false;
    if (QWidget* control = controlOfThisWindow(source))
        emit controlDropped(control);
    else
        emit entriesDroppedFromOutside(droppedEntries(data));
    return true;
}

void UrlEntryBox::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

// Accepted without moving the text cursor: nothing is inserted into the box.
void UrlEntryBox::dragMoveEvent(QDragMoveEvent* event)
{
    if (canTake(*event->mimeData(), event->source())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void UrlEntryBox::dropEvent(QDropEvent* event)
{
    if (!drop(*event->mimeData(), event->source())) {
        event->ignore();
        return;
    }
    // A copy: the program the data came from keeps it.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}
