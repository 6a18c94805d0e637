// Sending the composed document through a window's pair of mail-handler controls.
#pragma once

#include "mailhandler.h"

#include <functional>

/// What goes out: one recipient and the document as the body, from the author where they have
/// given their address.
struct OutgoingDocument
{
    QString recipientName;
    QString recipientAddress;
    QString body;
    QString senderName {};
    QString senderAddress {}; // empty: the transport names the sender
    /// A test to the author: its own subject, and neither kept nor recorded as an issue sent.
    bool test = false;
};

namespace DocumentSender {

/// The subject of every mail-magazine issue.
QString subject();
/// The subject of a test to the author.
QString testSubject();

/// Ties the messages control to the session, composes the message and sends it without a
/// dialog. Any error on the way stops the remaining steps and is handed to warn; nothing
/// escapes.
void sendComposedDocument(MapiSession &session, MapiMessages &messages,
                          const OutgoingDocument &document,
                          const std::function<void(const Error &)> &warn);

/// Signs on, sends as above and signs off. Errors of the sign-on and the sign-off are not
/// trapped here: they reach the caller.
void send(MapiSession &session, MapiMessages &messages, const OutgoingDocument &document,
          const std::function<void(const Error &)> &warn);

} // namespace DocumentSender
