#include "issuesender.h"

#include "clock.h"
#include "errorhandling.h"
#include "messagebox.h"
#include "notifier.h"
#include "sendersettings.h"
#include "statusnote.h"
#include "textbox.h"
#include "textmarker.h"

IssueSender::IssueSender(const Services &services, TextBox &documentBox, QString placeholder,
                         StatusNote &note)
    : m_services(services)
    , m_documentBox(documentBox)
    , m_placeholder(std::move(placeholder))
    , m_note(&note)
    , m_guard(
          [box = services.messageBox](const SendGuard::Question &q) {
              return box->ask(q.text, q.answers, q.defaultAnswer, q.escapeAnswer);
          },
          services.sentCopies,
          [box = services.messageBox](const QString &text) {
              box->show(text, MessageBox::Exclamation, ErrorHandling::appTitle());
          })
    , m_session(services.mail->createSession())
    , m_messages(services.mail->createMessages())
{ }

IssueSender::~IssueSender() = default;

void IssueSender::send(OutgoingDocument document, const std::optional<DocumentFields> &madeFrom,
                       const DocumentFields &fields, const QByteArray &keptFields)
{
    // Every issue and every test names the author as its sender, once the address is set.
    if (const auto sender
        = m_services.senderSettings ? m_services.senderSettings->load() : std::nullopt) {
        document.senderName = sender->name;
        document.senderAddress = sender->address;
    }
    if (const auto refused = SendGuard::refusal(document, m_placeholder)) {
        ErrorHandling::showWarning(*m_services.messageBox, *refused);
        return;
    }
    TextMarker *marker = TextMarker::of(&m_documentBox);
    const int guide = marker ? marker->guideWidth() : TextMarks::DefaultGuide;
    const SendGuard::Verdict verdict = m_guard.check(document, { guide, madeFrom, fields });
    if (!verdict.send) {
        if (verdict.mend && marker)
            marker->showPlace(*verdict.mend);
        return;
    }
    bool failed = false;
    DocumentSender::send(*m_session, *m_messages, document, [this, &failed](const Error &error) {
        failed = true;
        ErrorHandling::showWarning(*m_services.messageBox, error);
    });
    // Beside the copy kept of it, also when the mail may have gone out before a failure.
    if (m_services.sentCopies && !document.test)
        m_services.sentCopies->keepFields(keptFields);
    if (failed)
        return;
    const QDateTime at = m_services.clock->currentDateTime();
    m_guard.sent(document, at);
    const auto copyFailure = m_services.sentCopies && !document.test
        ? m_services.sentCopies->lastFailure()
        : std::nullopt;
    tell(SendGuard::told(document, at, copyFailure));
}

// A desktop notification; where no notification service answers, a note beside the send button.
void IssueSender::tell(const SendGuard::Told &told)
{
    const auto note = [note = m_note, body = told.body] {
        if (note)
            note->say(body);
    };
    if (m_services.notifier)
        m_services.notifier->notify(told.summary, told.body, note);
    else
        note();
}

bool IssueSender::wasSent(const OutgoingDocument &document)
{
    return m_guard.wasSent(document);
}
