// The mail handler of a Unix desktop. Sending without the dialog hands the message to the
// sendmail-compatible transport the system has (msmtp-mta, postfix, exim4, nullmailer...),
// which knows the user's own address and server; sending with the dialog opens the user's mail
// client's compose window through xdg-email. Sign-on always opens a session, which remembers the
// transport found; a missing program is reported by the send that needs it.
//
// Each hand-off runs under the event loop (the message is built on a thread of its own, the
// transport run by ProcessRunner), so the windows keep repainting: the monitor refuses the
// user's input meanwhile and lets the user cancel. The transport runs once
// per message, with a time limit, so a stuck server cannot hold the program. What each ending
// means for the author is decided in mail/handofferrors.h.
#pragma once

#include "mailhandler.h"

#include <QStringList>

#include <chrono>
#include <memory>

class HandOffMonitor;
class SentCopies;

class UnixMailHandler final : public MailHandler
{
public:
    /// The settings; as initialised here, the real program's.
    struct Options
    {
        /// The transports tried at sign-on, the first one found wins; a bare name is looked up
        /// on PATH.
        QStringList sendmailCandidates { QStringLiteral("sendmail"),
                                         QStringLiteral("/usr/sbin/sendmail"),
                                         QStringLiteral("/usr/lib/sendmail") };
        /// The programs tried to open the mail client's compose window.
        QStringList xdgEmailCandidates { QStringLiteral("xdg-email") };
        /// How long one transport run may take before it is killed and the send fails.
        std::chrono::milliseconds timeLimit = std::chrono::minutes(2);
        /// How long to wait for xdg-email's verdict. A mail client it starts in the foreground
        /// keeps it running; after this it is left running with the user's compose window.
        std::chrono::milliseconds clientHandOff = std::chrono::seconds(5);
    };

    /// monitor, when given, shows each hand-off to the user; copies, when given, keeps the
    /// message of every send the transport took. Both must outlive the handler.
    explicit UnixMailHandler(Options options, HandOffMonitor *monitor = nullptr,
                             SentCopies *copies = nullptr);
    ~UnixMailHandler() override;

    std::unique_ptr<MapiSession> createSession() override;
    std::unique_ptr<MapiMessages> createMessages() override;

    struct State;

private:
    std::shared_ptr<State> m_state;
};
