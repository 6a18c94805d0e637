// The copy of every issue sent: the exact bytes handed to the mail transport, kept where the
// author can open them with any mail program; and the record of every hand-off the transport
// read to the end, shared by every running instance of the program, so that no issue reaches a
// list twice by mistake, across restarts and instances.
#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

class SentCopies
{
public:
    /// Why a copy or the record could not be written or read.
    struct Failure
    {
        enum What {
            Folder, // the folder could not be made
            FolderMode, // the folder is there, but could not be made the author's alone
            File, // the copy could not be written
            Record, // the record could not be written
            RecordUnreadable, // the record could not be read: set aside under path
        };
        What what = File;
        QString path;
        QString reason; // the system's words; may be empty
    };

    /// One hand-off the transport read to the end.
    struct Delivery
    {
        QString address; // as typed
        QString document;
        /// False when the hand-off was cancelled or timed out after the transport had read the
        /// whole message: the mail may have gone out.
        bool confirmed = true;
    };

    /// A recorded hand-off.
    struct Recorded
    {
        QDateTime at;
        bool confirmed = true;
    };

    virtual ~SentCopies() = default;
    /// Keeps a copy of a message exactly as the transport read it and records the hand-off.
    /// Never throws: what cannot be written leaves the send as it was and is reported by
    /// lastFailure().
    virtual void keep(const QByteArray &message, const Delivery &delivery) = 0;
    /// Keeps beside the copy the last keep() wrote the fields it was made from (the kept
    /// session's bytes), so that the next issue can start from them; nothing when it wrote none.
    /// A failure is reported by lastFailure().
    virtual void keepFields(const QByteArray &fields) = 0;
    /// The recorded hand-offs of this document to this address (compared without regard to
    /// case), oldest first. A record that cannot be read gives none; it is set aside and
    /// reported once by lastFailure().
    virtual QList<Recorded> recorded(const QString &address, const QString &document) = 0;
    /// The folder the copies are kept in, for the author to open.
    virtual QString folder() const = 0;
    /// Why the last keep(), keepFields() or recorded() could not do all it should; nothing when it did.
    virtual std::optional<Failure> lastFailure() const = 0;

    /// What the record keeps of a document: its digest, never its text.
    static QByteArray digest(const QString &document)
    {
        return QCryptographicHash::hash(document.toUtf8(), QCryptographicHash::Sha256).toHex();
    }
};
