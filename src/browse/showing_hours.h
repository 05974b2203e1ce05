#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// When something is shown, in the local time of the moment asked about: days of the
// week with times of day, "Mon-Fri 08:00-18:00", "Sat,Sun 10:00-16:00", several joined
// by ";", several times after one set of days joined by ",". Without days, every day.
// A range that ends at or before its start runs past midnight into the next day
// ("Fri 22:00-02:00" holds Saturday 01:00); "24:00" is the end of the day.
class ShowingHours {
public:
    // The hours written in text, or none when it cannot be read that way.
    static std::optional<ShowingHours> read(const QString& text);

    bool contains(const QDateTime& moment) const;
    // The first start of a range after the moment, within the next week; null if none.
    QDateTime nextStart(const QDateTime& moment) const;

private:
    struct Range {
        // Bit 1 for Monday to bit 7 for Sunday, as QDate::dayOfWeek counts.
        quint8 days = 0;
        int startMinute = 0;
        int endMinute = 0;
    };
    QList<Range> ranges_;
};

// A moment as a screen names the next start: "Mon 08:00".
QString dayAndTime(const QDateTime& moment);
