// The desktop shell's "open": hands a document or address to the desktop's default program
// through xdg-open, started on its own without a command shell, so no character of the
// address is ever interpreted.
#pragma once

#include "shell.h"

class DesktopShell final : public Shell
{
public:
    /// Shell results: above Succeeded on success, one of the small error numbers otherwise.
    enum Result : qintptr {
        FileNotFound = 2,
        NoAssociation = 31,
        Succeeded = 32,
    };

    /// Only "open" (or no operation, which means "open") is known. The parameters are not used
    /// for documents and addresses; a non-empty directory becomes the working directory of the
    /// desktop's handler. The show command is left to the desktop.
    qintptr shellExecute(quintptr window, const QByteArray &operation, const QByteArray &file,
                         const QByteArray &parameters, const QByteArray &directory,
                         qint32 showCommand) override;
};
