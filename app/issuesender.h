// The send button's work, between the window and the policy: the guard's refusals and questions
// in the window's message boxes, the hand-off through the window's own pair of mail-handler
// controls, and a success told by a desktop notification, or by the note beside the button where
// no notification service answers.
#pragma once

#include "mailhandler.h"
#include "sendguard.h"
#include "services.h"

#include <QPointer>

#include <memory>

class StatusNote;
class TextBox;

class IssueSender final
{
public:
    /// documentBox is where a marked place is shown when the author goes back to mend it, and
    /// placeholder its initial text, which is no issue; note tells a success where no
    /// notification service answers. Both outlive the sender.
    IssueSender(const Services &services, TextBox &documentBox, QString placeholder,
                StatusNote &note);
    ~IssueSender();

    /// Signs on, sends the document as it stands and signs off, unless it is refused or the
    /// author says no; from the author's address where it is set. madeFrom: the fields the
    /// document was last made or restored from, none when it never was; fields: the fields now;
    /// keptFields: the window's fields as a kept session, kept beside the copy of an issue.
    /// Errors of the sign-on and the sign-off are not trapped here.
    void send(OutgoingDocument document, const std::optional<DocumentFields> &madeFrom,
              const DocumentFields &fields, const QByteArray &keptFields = {});
    /// Whether the document is recorded as sent to its address.
    bool wasSent(const OutgoingDocument &document);

private:
    void tell(const SendGuard::Told &told);

    const Services m_services;
    TextBox &m_documentBox;
    const QString m_placeholder;
    QPointer<StatusNote> m_note;
    SendGuard m_guard;
    std::unique_ptr<MapiSession> m_session;
    std::unique_ptr<MapiMessages> m_messages;
};
