// The copy of every issue sent: the exact bytes handed to the mail transport, kept where the
// author can open them with any mail program.
#pragma once

#include <QByteArray>
#include <QString>

class SentCopies
{
public:
    virtual ~SentCopies() = default;
    /// Keeps a copy of a message exactly as the transport read it. Never throws: a copy that
    /// cannot be written leaves the send as it was and is reported by lastFailure().
    virtual void keep(const QByteArray &message) = 0;
    /// Why the last copy could not be written, for the user; empty when it was written.
    virtual QString lastFailure() const = 0;
};
