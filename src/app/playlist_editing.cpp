#include "app/form2.h"

#include "platform/message_boxes.h"
#include "playlist/playlist_capacity.h"
#include "playlist/playlist_list_box.h"
#include "playlist/playlist_messages.h"
#include "playlist/text_entries.h"
#include "playlist/url_entry_box.h"

#include <QAbstractButton>
#include <QLabel>
#include <QListWidget>

namespace {

// What a control shows as its text: a text box's contents, a caption, a list box's
// selected entry.
QString controlText(const QWidget* control)
{
    if (const auto* textBox = qobject_cast<const QLineEdit*>(control))
        return textBox->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (const auto* list = qobject_cast<const QListWidget*>(control)) {
        const QList<QListWidgetItem*> selected = list->selectedItems();
        return selected.isEmpty() ? QString() : selected.first()->text();
    }
    return {};
}

} // namespace

void form2::cmdAddItem_Click()
{
    // Pasted text keeps its line ends; each line is an entry of its own.
    const QStringList texts = entriesFromText(txtItemToAdd->text());
    // On a list without room for them all the text stays in the box, so nothing the
    // user typed is lost.
    if (lstPlayList->count() + texts.size() > kPlaylistCapacity) {
        platform_.messages.inform(this, playlistFullMessage());
        return;
    }
    appendToPlaylist(*lstPlayList, texts);
    txtItemToAdd->clear();
}

void form2::cmdRemoveItem_Click()
{
    // The selected entry, not the current one: a click can unselect the current row.
    const QList<QListWidgetItem*> selected = lstPlayList->selectedItems();
    if (selected.isEmpty())
        return;
    delete lstPlayList->takeItem(lstPlayList->row(selected.first()));
    // The list box would move the selection to a neighbour, which a second click on
    // Remove would then delete unasked.
    lstPlayList->setCurrentRow(-1);
}

void form2::txtItemToAdd_DragDrop(QWidget* source)
{
    if (appendToPlaylist(*lstPlayList, entriesFromText(controlText(source))) > 0)
        platform_.messages.inform(this, playlistFullMessage());
}

void form2::txtItemToAdd_OLEDragDrop(const QStringList& entries)
{
    if (const qsizetype leftOut = appendToPlaylist(*lstPlayList, entries); leftOut > 0)
        platform_.messages.inform(this, playlistFullDropMessage(leftOut));
}
