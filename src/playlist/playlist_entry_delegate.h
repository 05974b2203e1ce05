#pragma once

#include <QStyledItemDelegate>

// Shows an overlong entry by its beginning. The list box lays out the whole text of
// an entry to paint it, which for an entry of megabytes holds the window for seconds;
// the entry itself stays whole, only what is painted is shortened.
class PlaylistEntryDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Far more than the widest window shows of an address.
    static constexpr qsizetype kLongestShownText = 2048;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
