#include "steer/screen_hours.h"

#include "platform/clock.h"

ScreenHours::ScreenHours(const ShowingHours& hours, Clock& clock, QObject* parent)
    : QObject(parent)
    , hours_(hours)
    , clock_(clock)
{
    minute_.setInterval(60'000);
    connect(&minute_, &QTimer::timeout, this, &ScreenHours::look);
}

void ScreenHours::start()
{
    look();
    minute_.start();
}

void ScreenHours::look()
{
    const bool dark = !hours_.contains(clock_.now());
    if (dark != dark_) {
        dark_ = dark;
        emit darkChanged(dark);
    }
}

QString ScreenHours::nextStart() const
{
    const QDateTime next = hours_.nextStart(clock_.now());
    return next.isValid() ? dayAndTime(next) : QString();
}
