// What the end of a hand-off means for the author: one table from how the helper program ended
// (its exit code, whether it read the whole message) to the mail-handler error number and the
// description the author reads, with the set-up hint where setting up the transport helps; and
// the words for the mail handler's other failures, which its adapter reports by kind.
#pragma once

#include "error.h"
#include "handoffend.h"

#include <chrono>
#include <optional>

namespace HandOffErrors {

/// The helper program a mail is handed to.
enum class Helper { Transport, MailClient };

/// What the descriptions name besides the outcome.
struct Context
{
    /// The program's path; empty when none was found.
    QString program;
    QString recipientAddress;
    /// How long the program was given.
    std::chrono::milliseconds limit { 0 };
};

/// The error to report for how the helper's run ended; none when the mail was handed over.
std::optional<Error> errorFor(Helper helper, const HandOffEnd &outcome, const Context &context);

/// Whether the transport's run put the mail on its way: it took the whole message and said so,
/// or it was stopped (cancelled, timed out) after taking all of it, when it may have gone out.
enum class Delivered { No, Yes, Maybe };
Delivered delivered(const HandOffEnd &outcome);

/// What the progress window says while the helper has the mail.
QString progress(Helper helper);

} // namespace HandOffErrors

namespace MailErrors {

/// The session a control was tied to is closed, was never opened, or never existed.
Error sessionClosed();
Error noSession();
Error invalidSession(qint32 id);
/// The body is longer than the mail client's command line can carry.
Error bodyTooLargeForClient(qsizetype maxBytes);
/// The module that builds messages is missing or cannot be loaded.
Error noMessageModule(const QString &module);
/// The message could not be built; number is the mail handler's error number.
Error notBuilt(qint32 number);
/// No room in memory for the message handed to the transport; number as above.
Error noRoomForMessage(qint32 number);

} // namespace MailErrors
