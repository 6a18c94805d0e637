// The standard mail handler as the windows see it: a session control and a messages control,
// one pair per window. Every operation reports a failure by throwing Error, whose numbers
// follow the mail-handler codes (MapiError) that programs driving these controls already know.
#pragma once

#include "error.h"

#include <QString>
#include <memory>

namespace MapiError {
enum : qint32 {
    UserAbort = 32001,
    Failure = 32002,
    LoginFailure = 32003,
    DiskFull = 32004,
    InsufficientMemory = 32005,
    AccessDenied = 32006,
    GeneralFailure = 32007,
    UnknownRecipient = 32014,
    InvalidMessage = 32017,
    TextTooLarge = 32018,
    InvalidSession = 32019,
    AmbiguousRecipient = 32021,
    NetworkFailure = 32023,
    InvalidRecipients = 32025,
    NotSupported = 32026,
    NoValidSession = 32053,
};
} // namespace MapiError

/// A mail session with the system's mail handler, open from signOn() to signOff().
class MapiSession
{
public:
    virtual ~MapiSession() = default;
    /// Opens a session; throws Error when no mail handler can be reached.
    virtual void signOn() = 0;
    /// The open session's identifier (positive); throws Error when no session is open.
    virtual qint32 sessionId() const = 0;
    /// Closes the session; throws Error when none is open.
    virtual void signOff() = 0;
};

/// The buffer of one outgoing message, tied to a session by setSessionId().
class MapiMessages
{
public:
    virtual ~MapiMessages() = default;
    /// Ties the control to the session with this identifier.
    virtual void setSessionId(qint32 id) = 0;
    /// Starts a new, empty outgoing message; throws Error without a valid session.
    virtual void compose() = 0;
    /// Display name of the (single) recipient.
    virtual void setRecipDisplayName(const QString &name) = 0;
    /// Address of the (single) recipient.
    virtual void setRecipAddress(const QString &address) = 0;
    virtual void setMsgSubject(const QString &subject) = 0;
    virtual void setMsgNoteText(const QString &text) = 0;
    /// The sender the message names (its From header): the author's own address and name. None
    /// when the address is empty: the transport names the sender from its own settings.
    virtual void setOriginator(const QString &name, const QString &address) = 0;
    /// Whether the hand-off is kept as a copy and recorded as an issue sent (the default after
    /// compose()); a test to the author is not.
    virtual void setKeptAsIssue(bool kept) = 0;
    /// Sends the composed message: at once when withDialog is false, through the user's own
    /// mail client's compose window when it is true. Throws Error on any failure.
    virtual void send(bool withDialog) = 0;
};

/// Makes the pair of controls a window owns.
class MailHandler
{
public:
    virtual ~MailHandler() = default;
    /// A new session control.
    virtual std::unique_ptr<MapiSession> createSession() = 0;
    /// A new messages control.
    virtual std::unique_ptr<MapiMessages> createMessages() = 0;
};
