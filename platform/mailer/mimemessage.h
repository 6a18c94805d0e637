// The outgoing message as a sendmail-compatible transport reads it, built with GMime: UTF-8
// throughout (whatever the locale would pick), RFC 2047 words for the name and the subject, a
// base64 body, LF line endings.
#pragma once

#include <QByteArray>
#include <QString>

namespace MimeMessage {

struct Fields
{
    QString recipientName;
    QString recipientAddress;
    QString subject; // no Subject header when empty
    QString body;
    QString senderName {};
    QString senderAddress {}; // no From header when empty: the transport adds its own
};

/// The whole message: From (where a sender is given), To, Subject, Date, Message-ID, MIME-Version and a text/plain UTF-8 body.
/// Without a sender the transport, which knows the user's own address, names one. Lone UTF-16
/// surrogates become U+FFFD. The address must have passed RecipientAddress::check(). The first
/// call, from any thread, loads the message module (mimemodule.h); throws Error 32002 when it
/// cannot be loaded or the message cannot be built.
QByteArray build(const Fields &fields);

} // namespace MimeMessage
