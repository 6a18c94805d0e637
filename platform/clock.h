// The clock: today's date and the time of day, and a reading in seconds for measuring elapsed
// time.
#pragma once

#include <QDateTime>

class Clock
{
public:
    virtual ~Clock() = default;
    /// The current local date.
    virtual QDate currentDate() const = 0;
    /// The current local date and time of day.
    virtual QDateTime currentDateTime() const = 0;
    /// Seconds, with a fractional part, on a clock that never goes back (not even at midnight).
    virtual double seconds() const = 0;
};
