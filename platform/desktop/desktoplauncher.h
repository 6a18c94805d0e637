// Starts the desktop's accessories. A command line names a program the way the windows know it
// ("calc.exe", "NOTEPAD.EXE"); a program of exactly that name on PATH wins, otherwise the
// first installed calculator or plain-text editor of a list of well-known ones is started.
#pragma once

#include "launcher.h"

#include <QStringList>

class DesktopLauncher final : public Launcher
{
public:
    qint64 start(const QString &commandLine, int windowStyle) override;

    /// The programs tried for a command line, in order: the name itself, then look-alikes.
    static QStringList candidates(const QString &commandLine);
};
