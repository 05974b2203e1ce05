#pragma once

#include <QDialog>

// The About box: one shared instance, kept after it is closed.
class frmAbout final : public QDialog {
    Q_OBJECT

public:
    using QDialog::QDialog;
};
