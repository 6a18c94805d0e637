// The outgoing message read back the way a recipient's mail program reads it, with GMime's own
// parser, and checked against what the sender typed. Used by the tests and the fuzz target.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace MessageCheck {

/// What a reader sees in a message.
struct Seen
{
    int recipients = 0;
    QString name; // of the first recipient
    QString address;
    QString subject;
    QByteArray body; // decoded
    QList<QByteArray> headerLines; // as written, without their line breaks
};

/// Parses a whole message with GMime.
Seen read(const QByteArray &message);

/// Builds the message for name, address and body as the main window sends it and reads it back.
/// Empty when the address is refused before anything is built, or when the reader sees exactly
/// one recipient with that address and name (controls as spaces), the subject "メルマガ配信",
/// the body with its CR LF line breaks, and no header line over 78 columns but one that cannot
/// be folded: the To header's address alone on its line, quoted and with quoted pairs as mail
/// allows, and even that within the 998 characters of RFC 5322. Otherwise, what is wrong.
QString check(const QString &name, const QString &address, const QString &body);

} // namespace MessageCheck
