#include "app/pictures.h"

// Placeholder pictures until the drawings land.
QIcon globePicture() { return {}; }
QIcon startPicture() { return {}; }
QIcon stopPicture() { return {}; }
QIcon openPicture() { return {}; }
QIcon savePicture() { return {}; }
