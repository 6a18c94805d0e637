#include "systemclock.h"

#include <chrono>

QDate SystemClock::currentDate() const
{
    return QDate::currentDate();
}

QDateTime SystemClock::currentDateTime() const
{
    return QDateTime::currentDateTime();
}

double SystemClock::seconds() const
{
    using Seconds = std::chrono::duration<double>;
    return std::chrono::duration_cast<Seconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
