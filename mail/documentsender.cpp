#include "documentsender.h"

#include "error.h"

using namespace Qt::StringLiterals;

namespace DocumentSender {

QString subject()
{
    return u"メルマガ配信"_s;
}

QString testSubject()
{
    return u"[テスト] "_s + subject();
}

void sendComposedDocument(MapiSession &session, MapiMessages &messages,
                          const OutgoingDocument &document,
                          const std::function<void(const Error &)> &warn)
{
    const auto error = ErrorHandling::trap([&] {
        messages.setSessionId(session.sessionId());
        messages.compose();
        messages.setRecipDisplayName(document.recipientName);
        messages.setRecipAddress(document.recipientAddress);
        messages.setMsgSubject(document.test ? testSubject() : subject());
        messages.setMsgNoteText(document.body);
        if (!document.senderAddress.isEmpty())
            messages.setOriginator(document.senderName, document.senderAddress);
        messages.setKeptAsIssue(!document.test);
        messages.send(false);
    });
    if (error)
        warn(*error);
}

void send(MapiSession &session, MapiMessages &messages, const OutgoingDocument &document,
          const std::function<void(const Error &)> &warn)
{
    session.signOn();
    sendComposedDocument(session, messages, document, warn);
    session.signOff();
}

} // namespace DocumentSender
