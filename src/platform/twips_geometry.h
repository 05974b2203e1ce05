#pragma once

class QWidget;

// A control's place and size in twips, relative to its container's client area.
// Setting a negative width or height is refused, as the window system refuses it:
// the setter returns false and the control keeps its old value.
float leftTwips(const QWidget* control);
float topTwips(const QWidget* control);
float widthTwips(const QWidget* control);
float heightTwips(const QWidget* control);

void setLeftTwips(QWidget* control, float left);
void setTopTwips(QWidget* control, float top);
bool setWidthTwips(QWidget* control, float width);
bool setHeightTwips(QWidget* control, float height);

void placeInTwips(QWidget* control, float left, float top, float width, float height);
