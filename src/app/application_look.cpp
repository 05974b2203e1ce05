#include "app/application_look.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

void applyApplicationLook(QApplication& application)
{
    application.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    application.setFont(font);
    // A frame's caption sits on its top border, and the frame keeps its designed
    // height instead of giving room to the caption above it.
    application.setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px; padding: 0 2px; }"
        // The option boxes are designed narrow: "No Cache" needs a classic gap after the tick.
        "QCheckBox { spacing: 4px; }"));
}
