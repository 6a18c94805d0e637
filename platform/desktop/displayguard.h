// The start without a display. Qt's platform plugins stop a program whose display cannot be
// opened with an English message and a core dump (qFatal, then abort); the user gets the
// program's own line instead, and status 1.
#pragma once

#include <QtGlobal>

class DisplayGuard final
{
public:
    /// Prints line, which says that no display could be reached, on the standard error; returns
    /// the program's status.
    static int noDisplay(const char *line);

    /// From now until destroyed (around the creation of the application object), a fatal error
    /// ends the program with line and status 1; other messages are held back and passed on when
    /// the guard goes, so a failed start prints nothing else. line must outlive the guard.
    explicit DisplayGuard(const char *line);
    ~DisplayGuard();
    DisplayGuard(const DisplayGuard &) = delete;
    DisplayGuard &operator=(const DisplayGuard &) = delete;

private:
    QtMessageHandler m_previous;
};
