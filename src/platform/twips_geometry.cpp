#include "platform/twips_geometry.h"

#include "platform/twips.h"

#include <QWidget>

float leftTwips(const QWidget* control)
{
    return pixelsToTwips(control->x());
}
float topTwips(const QWidget* control)
{
    return pixelsToTwips(control->y());
}
float widthTwips(const QWidget* control)
{
    return pixelsToTwips(control->width());
}
float heightTwips(const QWidget* control)
{
    return pixelsToTwips(control->height());
}

void setLeftTwips(QWidget* control, float left)
{
    control->move(twipsToPixels(left), control->y());
}

void setTopTwips(QWidget* control, float top)
{
    control->move(control->x(), twipsToPixels(top));
}

bool setWidthTwips(QWidget* control, float width)
{
    if (!(width >= 0.0f))
        return false;
    control->resize(twipsToPixels(width), control->height());
    return true;
}

bool setHeightTwips(QWidget* control, float height)
{
    if (!(height >= 0.0f))
        return false;
    control->resize(control->width(), twipsToPixels(height));
    return true;
}

void placeInTwips(QWidget* control, float left, float top, float width, float height)
{
    control->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}
