#include "platform/file_dialogs.h"

#include <QFileDialog>

// No filter and no default extension: a playlist may have any name. The save dialog
// keeps its own confirmation before it replaces an existing file.
QString QtFileDialogs::askOpenFileName(QWidget* parent)
{
    return QFileDialog::getOpenFileName(parent);
}

QString QtFileDialogs::askSaveFileName(QWidget* parent)
{
    return QFileDialog::getSaveFileName(parent);
}
