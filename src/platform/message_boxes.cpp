#include "platform/message_boxes.h"

#include "platform/application_title.h"

#include <QMessageBox>

void QtMessageBoxes::inform(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

void QtMessageBoxes::informWithoutWaiting(QWidget* parent, const QString& text, std::function<void()> whenClosed)
{
    auto* box = new QMessageBox(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QDialog::finished, parent, [whenClosed = std::move(whenClosed)] { whenClosed(); });
    // Modal to its window only, and without an event loop of its own.
    box->open();
}
