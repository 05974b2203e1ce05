#include "platform/message_boxes.h"

#include "platform/application_title.h"

#include <QMessageBox>

void QtMessageBoxes::inform(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}
