#pragma once

#include <QDateTime>

// The local date and time of day, for the no-cache stamp and the random seed.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
