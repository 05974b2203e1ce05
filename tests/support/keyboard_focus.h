#pragma once

#include <QApplication>
#include <QtTest>

// Waits for the window to be on screen with the keyboard. X and the offscreen platform
// activate a shown window themselves; a Wayland compositor gives the keyboard when the
// user clicks, and a headless one has no seat to click with, so the suite stands in for
// that click and tells the toolkit the window is active.
inline bool shownWithKeyboard(QWidget* window)
{
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        return QTest::qWaitForWindowActive(window);
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QApplication::setActiveWindow(window);
    QT_WARNING_POP
    return window->isActiveWindow();
}
