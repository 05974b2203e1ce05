#pragma once

#include <QLineEdit>

// The URL entry box of the playlist.
class UrlEntryBox final : public QLineEdit {
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;
};
