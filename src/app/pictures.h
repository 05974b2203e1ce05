#pragma once

#include <QIcon>

// The program's own pictures, drawn in code at 32 × 32 and 16 × 16 pixels.
QIcon globePicture();
QIcon startPicture();
QIcon stopPicture();
QIcon openPicture();
QIcon savePicture();
