// How the run of a helper program the mail handler hands a mail to (the transport, xdg-email)
// ended, as the runner saw it: what the logic above needs to tell the author what it means.
#pragma once

#include <QByteArray>
#include <QString>

struct HandOffEnd
{
    enum How { Exited, NotFound, FailedToStart, Crashed, Cancelled, TimedOut, LeftRunning };
    How how = Exited;
    /// The exit code, when the program exited.
    int exitCode = 0;
    /// Why the program could not be started, in the system's words.
    QString startError;
    /// The start of what the program wrote to standard error, or to standard output when
    /// standard error had nothing.
    QByteArray said;
    /// Whether the program read its input to the end (true when it was given none); known
    /// however the run ended, also when it was cancelled.
    bool tookAllInput = true;
};
