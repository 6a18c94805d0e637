// What the user sees while a helper program takes a mail (the transport sending it, or
// xdg-email opening the mail client): the program's windows stay alive but take no input, and
// the user can stop the hand-off. The mail handler reports each hand-off here; the windows'
// side shows it.
#pragma once

#include <QString>
#include <functional>

class HandOffMonitor
{
public:
    virtual ~HandOffMonitor() = default;
    /// A hand-off has started; message says what is happening. Until finished(), no window of
    /// the program takes clicks or keys. cancel stops the hand-off when the user asks to; the
    /// mail handler then ends it and calls finished().
    virtual void started(const QString &message, std::function<void()> cancel) = 0;
    /// The hand-off is over, whichever way it ended.
    virtual void finished() = 0;
};
