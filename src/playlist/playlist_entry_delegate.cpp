#include "playlist/playlist_entry_delegate.h"

void PlaylistEntryDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (option->text.size() > kLongestShownText)
        option->text = option->text.left(kLongestShownText) + QChar(0x2026);
}
