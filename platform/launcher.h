// Program launch: starts a desktop program from a command line without waiting for it.
#pragma once

#include <QString>

class Launcher
{
public:
    /// Window styles: 1 is a normal window that takes the focus.
    enum WindowStyle : int { NormalFocus = 1 };

    virtual ~Launcher() = default;
    /// Starts the program named by commandLine and returns its task identifier at once;
    /// throws Error 53 when nothing can be started for it.
    virtual qint64 start(const QString &commandLine, int windowStyle) = 0;
};
