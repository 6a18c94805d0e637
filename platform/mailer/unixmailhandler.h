// The mail handler of a Unix desktop. Sending without the dialog hands the message to the
// sendmail-compatible transport the system has (msmtp-mta, postfix, exim4, nullmailer...),
// which knows the user's own address and server; sending with the dialog opens the user's mail
// client's compose window through xdg-email. Sign-on succeeds when either is there; sessions
// only remember the transport found.
//
// Each hand-off runs under the event loop, so the windows keep repainting: the monitor refuses
// the user's input meanwhile and lets the user cancel. The transport runs once per message, in
// a process group of its own, with a time limit, so a stuck server cannot hold the program.
#pragma once

#include "mapi.h"

class HandOffMonitor;

#include <QStringList>

#include <chrono>
#include <memory>

class UnixMailHandler final : public MailHandler
{
public:
    struct Options
    {
        /// The transports tried at sign-on, the first one found wins; a bare name is looked up
        /// on PATH.
        QStringList sendmailCandidates;
        /// The programs tried to open the mail client's compose window.
        QStringList xdgEmailCandidates;
        /// How long one transport run may take before it is killed and the send fails.
        std::chrono::milliseconds timeLimit;
        /// How long to wait for xdg-email's verdict. A mail client it starts in the foreground
        /// keeps it running; after this it is left running with the user's compose window.
        std::chrono::milliseconds clientHandOff;
    };

    /// The real program's settings: sendmail on PATH, /usr/sbin/sendmail, /usr/lib/sendmail;
    /// xdg-email on PATH; two minutes per send; five seconds for the mail client.
    static Options defaultOptions();

    /// monitor, when given, shows each hand-off to the user and must outlive the handler.
    explicit UnixMailHandler(Options options, HandOffMonitor *monitor = nullptr);
    ~UnixMailHandler() override;

    std::unique_ptr<MapiSession> createSession() override;
    std::unique_ptr<MapiMessages> createMessages() override;

    struct State;

private:
    std::shared_ptr<State> m_state;
};
