// The clock of the computer: today's local date, and seconds from a monotonic clock for
// measuring waits (it never jumps back, not at midnight and not when the time is set).
#pragma once

#include "clock.h"

class SystemClock final : public Clock
{
public:
    QDate currentDate() const override;
    QDateTime currentDateTime() const override;
    double seconds() const override;
};
