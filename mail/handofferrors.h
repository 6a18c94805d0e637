// What the end of a hand-off means for the user: one table from how the helper program ended
// (its exit code, whether it read the whole message) to the mail-handler error number and the
// description the user reads, with the set-up hint where setting up the transport helps.
#pragma once

#include "error.h"
#include "processrunner.h"

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
std::optional<Error> errorFor(Helper helper, const ProcessRunner::Outcome &outcome,
                              const Context &context);

} // namespace HandOffErrors
