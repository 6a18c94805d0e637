// The copy of every issue sent: the exact bytes handed to the mail transport, kept where the
// author can open them with any mail program.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class SentCopies
{
public:
    /// Why a copy could not be written: its folder could not be made, or the file not written.
    struct Failure
    {
        enum What { Folder, File };
        What what = File;
        QString path;
        QString reason; // the system's words; may be empty
    };

    virtual ~SentCopies() = default;
    /// Keeps a copy of a message exactly as the transport read it. Never throws: a copy that
    /// cannot be written leaves the send as it was and is reported by lastFailure().
    virtual void keep(const QByteArray &message) = 0;
    /// Why the last copy could not be written; nothing when it was written.
    virtual std::optional<Failure> lastFailure() const = 0;
};
