// The desktop shell's "open" of a document or address.
#pragma once

#include <QByteArray>

class Shell
{
public:
    /// Show commands: 1 shows the window normally.
    enum ShowCommand : qint32 { ShowNormal = 1 };

    virtual ~Shell() = default;
    /// Performs operation ("open") on file with the system's default program. Texts are in the
    /// local eight-bit encoding. The result is the shell's own and callers need not look at it.
    virtual qintptr shellExecute(quintptr window, const QByteArray &operation,
                                 const QByteArray &file, const QByteArray &parameters,
                                 const QByteArray &directory, qint32 showCommand)
        = 0;
};
