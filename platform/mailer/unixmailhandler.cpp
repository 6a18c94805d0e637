#include "unixmailhandler.h"

#include "handofferrors.h"
#include "handoffmonitor.h"
#include "mimemessage.h"
#include "processrunner.h"
#include "programfinder.h"
#include "recipientaddress.h"
#include "sentcopies.h"

#include <QHash>
#include <QScopeGuard>

#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

struct UnixMailHandler::State
{
    Options options;
    HandOffMonitor *monitor = nullptr;
    SentCopies *copies = nullptr;
    qint32 nextId = 1;
    QHash<qint32, QString> transports; // open sessions and the transport each found

    /// The transport of an open session (empty when none was found); throws for a closed or
    /// unknown session.
    QString transportOf(qint32 id) const
    {
        const auto it = transports.constFind(id);
        if (it != transports.constEnd())
            return *it;
        if (id > 0 && id < nextId)
            throw MailErrors::sessionClosed();
        if (id == 0)
            throw MailErrors::noSession();
        throw MailErrors::invalidSession(id);
    }
};

namespace {

using HandOffErrors::Helper;

// One argument may hold at most 128 KiB, and xdg-email percent-encodes the body first.
constexpr qsizetype MaxClientBodyBytes = 32 * 1024;

// One hand-off as the user sees it: from its first step (building a large message may take a
// while) to its end, the monitor shows it, the windows take no input, and a cancel stops
// whichever step is running.
class HandOff final
{
public:
    HandOff(HandOffMonitor *monitor, QString message)
        : m_monitor(monitor)
        , m_message(std::move(message))
    { }
    ~HandOff()
    {
        if (m_shown)
            m_monitor->finished();
    }
    HandOff(const HandOff &) = delete;
    HandOff &operator=(const HandOff &) = delete;

    void show()
    {
        if (!m_monitor || m_shown)
            return;
        m_monitor->started(m_message, [this] {
            m_cancelled = true;
            if (m_runner)
                m_runner->cancel();
        });
        m_shown = true;
    }

    /// Builds the message on a thread of its own while the event loop goes on, so that a large
    /// document does not freeze the windows. None when the user cancelled meanwhile: the
    /// build is let finish (the windows stay alive) and its result dropped.
    std::optional<QByteArray> build(const MimeMessage::Fields &fields)
    {
        QByteArray message;
        ProcessRunner::aside([&message, fields] { message = MimeMessage::build(fields); });
        if (m_cancelled)
            return std::nullopt;
        return message;
    }

    /// Runs a helper program; the monitor shows it from its start, if not already.
    ProcessRunner::Outcome run(ProcessRunner::Job job)
    {
        if (m_cancelled) {
            ProcessRunner::Outcome outcome;
            outcome.how = ProcessRunner::Outcome::Cancelled;
            outcome.tookAllInput = false;
            return outcome;
        }
        ProcessRunner runner(std::move(job));
        m_runner = &runner;
        const auto forget = qScopeGuard([this] { m_runner = nullptr; });
        QObject::connect(&runner, &ProcessRunner::started, &runner, [this] { show(); });
        return runner.run();
    }

private:
    HandOffMonitor *m_monitor;
    QString m_message;
    ProcessRunner *m_runner = nullptr;
    bool m_shown = false;
    bool m_cancelled = false;
};

// Hands the message to the transport; once it has taken all of it, copies keeps what it read and
// records the hand-off, also when it was stopped afterwards: the mail may have gone out.
void sendThroughTransport(const QString &transport, const MimeMessage::Fields &fields,
                          std::chrono::milliseconds limit, HandOffMonitor *monitor,
                          SentCopies *copies)
{
    // -oi: a line holding only "." is text, not the end; --: the address is never an option.
    ProcessRunner::Job job { transport, { u"-oi"_s, u"--"_s, fields.recipientAddress }, {}, limit };
    ProcessRunner::Outcome outcome;
    {
        HandOff handOff(monitor, HandOffErrors::progress(Helper::Transport));
        if (!transport.isEmpty()) {
            handOff.show();
            job.input = handOff.build(fields);
        }
        outcome = handOff.run(job);
    }
    const auto delivered = HandOffErrors::delivered(outcome);
    if (copies && job.input && delivered != HandOffErrors::Delivered::No)
        copies->keep(*job.input, { fields.recipientAddress, fields.body,
                                   delivered == HandOffErrors::Delivered::Yes });
    if (const auto error = HandOffErrors::errorFor(Helper::Transport, outcome,
                                                   { transport, fields.recipientAddress, limit }))
        throw *error;
}

// Opens the mail client's compose window. xdg-email usually hands over at once; when it runs
// the client in the foreground instead, the client is left running with the user.
void openComposeWindow(const UnixMailHandler::Options &options, const MimeMessage::Fields &fields,
                       HandOffMonitor *monitor)
{
    const QString xdgEmail = ProgramFinder::find(options.xdgEmailCandidates);
    ProcessRunner::Job job { xdgEmail, { u"--utf8"_s }, {}, options.clientHandOff, true };
    if (!xdgEmail.isEmpty()) {
        if (fields.body.toUtf8().size() > MaxClientBodyBytes)
            throw MailErrors::bodyTooLargeForClient(MaxClientBodyBytes);
        if (!fields.subject.isEmpty())
            job.arguments << u"--subject"_s << fields.subject;
        if (!fields.body.isEmpty())
            job.arguments << u"--body"_s << fields.body;
        job.arguments << RecipientAddress::mailbox(fields.recipientName, fields.recipientAddress);
    }
    const auto outcome
        = HandOff(monitor, HandOffErrors::progress(Helper::MailClient)).run(std::move(job));
    if (const auto error
        = HandOffErrors::errorFor(Helper::MailClient, outcome,
                                  { xdgEmail, fields.recipientAddress, options.clientHandOff }))
        throw *error;
}

class UnixMapiSession final : public MapiSession
{
public:
    explicit UnixMapiSession(std::shared_ptr<UnixMailHandler::State> state)
        : m_state(std::move(state))
    { }
    ~UnixMapiSession() override
    {
        if (m_id)
            m_state->transports.remove(m_id);
    }

    // Opens a session whatever is installed: a missing program is reported by the send that
    // needs it, inside the sender's error trap, so the user gets the same warning box either
    // way (and a desktop without a transport can still open compose windows).
    void signOn() override
    {
        if (m_id)
            return;
        m_id = m_state->nextId;
        m_state->nextId = m_id == std::numeric_limits<qint32>::max() ? 1 : m_id + 1;
        m_state->transports.insert(m_id, ProgramFinder::find(m_state->options.sendmailCandidates));
    }

    qint32 sessionId() const override
    {
        m_state->transportOf(m_id);
        return m_id;
    }

    void signOff() override
    {
        // Closing a session that never opened closes nothing and is not a second failure.
        if (!m_id)
            return;
        m_state->transports.remove(m_id);
        m_id = 0;
    }

private:
    std::shared_ptr<UnixMailHandler::State> m_state;
    qint32 m_id = 0;
};

class UnixMapiMessages final : public MapiMessages
{
public:
    explicit UnixMapiMessages(std::shared_ptr<UnixMailHandler::State> state)
        : m_state(std::move(state))
    { }

    void setSessionId(qint32 id) override { m_sessionId = id; }

    void compose() override
    {
        m_state->transportOf(m_sessionId);
        m_fields = {};
        m_kept = true;
    }

    void setRecipDisplayName(const QString &name) override
    {
        m_state->transportOf(m_sessionId);
        m_fields.recipientName = name;
    }

    void setRecipAddress(const QString &address) override
    {
        m_state->transportOf(m_sessionId);
        m_fields.recipientAddress = address;
    }

    void setMsgSubject(const QString &subject) override
    {
        m_state->transportOf(m_sessionId);
        m_fields.subject = subject;
    }

    void setMsgNoteText(const QString &text) override
    {
        m_state->transportOf(m_sessionId);
        m_fields.body = text;
    }

    void setOriginator(const QString &name, const QString &address) override
    {
        m_state->transportOf(m_sessionId);
        m_fields.senderName = name;
        m_fields.senderAddress = address;
    }

    void setKeptAsIssue(bool kept) override
    {
        m_state->transportOf(m_sessionId);
        m_kept = kept;
    }

    void send(bool withDialog) override
    {
        const QString transport = m_state->transportOf(m_sessionId);
        // Checked before any program starts: a bad address must never reach one.
        RecipientAddress::check(m_fields.recipientAddress);
        if (!m_fields.senderAddress.isEmpty())
            RecipientAddress::check(m_fields.senderAddress);
        if (withDialog)
            openComposeWindow(m_state->options, m_fields, m_state->monitor);
        else
            sendThroughTransport(transport, m_fields, m_state->options.timeLimit, m_state->monitor,
                                 m_kept ? m_state->copies : nullptr);
    }

private:
    std::shared_ptr<UnixMailHandler::State> m_state;
    qint32 m_sessionId = 0;
    MimeMessage::Fields m_fields;
    bool m_kept = true;
};

} // namespace

UnixMailHandler::UnixMailHandler(Options options, HandOffMonitor *monitor, SentCopies *copies)
    : m_state(std::make_shared<State>())
{
    m_state->options = std::move(options);
    m_state->monitor = monitor;
    m_state->copies = copies;
}

UnixMailHandler::~UnixMailHandler() = default;

std::unique_ptr<MapiSession> UnixMailHandler::createSession()
{
    return std::make_unique<UnixMapiSession>(m_state);
}

std::unique_ptr<MapiMessages> UnixMailHandler::createMessages()
{
    return std::make_unique<UnixMapiMessages>(m_state);
}
