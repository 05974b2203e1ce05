#pragma once

class QApplication;

// One style and one font for every screen, so the captions fit their controls the
// way the window was designed: a compact sans serif with the metrics of the classic
// desktop font, at 11 pixels.
void applyApplicationLook(QApplication& application);
