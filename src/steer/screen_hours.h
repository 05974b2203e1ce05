#pragma once

#include "browse/showing_hours.h"

#include <QObject>
#include <QTimer>

class Clock;

// The hours a screen is on. The clock is read every minute, never a timer set hours
// ahead: after a laptop has slept, or the network has set the clock, the next minute
// is right.
class ScreenHours final : public QObject {
    Q_OBJECT

public:
    ScreenHours(const ShowingHours& hours, Clock& clock, QObject* parent = nullptr);

    // Reads the clock now and every minute from now on.
    void start();
    // Reads the clock: darkChanged if the hours began or ended since the last look.
    void look();
    bool dark() const { return dark_; }
    // When the hours begin next, as the screen names it ("Mon 07:00"); empty if never.
    QString nextStart() const;

signals:
    void darkChanged(bool dark);

private:
    ShowingHours hours_;
    Clock& clock_;
    QTimer minute_;
    bool dark_ = false;
};
