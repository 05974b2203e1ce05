#pragma once

#include <QObject>

class Rotation;
class QWidget;

// Someone at the screen using the page (a key, a click, a touch, the wheel) holds the
// rotation until they have left it alone for a while: the page does not leave under
// their finger.
class PauseOnInput final : public QObject {
    Q_OBJECT

public:
    PauseOnInput(QWidget* browser, Rotation& rotation, int seconds);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* browser_;
    Rotation& rotation_;
    int seconds_;
};
