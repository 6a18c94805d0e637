// Telling the user that something went well without asking for a click: a notification of the
// desktop, where a notification service runs.
#pragma once

#include <QString>

#include <functional>

class Notifier
{
public:
    virtual ~Notifier() = default;
    /// Shows a desktop notification under the program's name and icon and returns at once.
    /// When no notification service answers, unanswered is called later from the event loop, so
    /// that the caller can say it another way.
    virtual void notify(const QString &summary, const QString &body,
                        std::function<void()> unanswered)
        = 0;
};
