// The recipient's address as the mail transports take it: checked before any program is started,
// so that a typo, a stray line break or an option-like address never reaches a transport, and
// written as one mailbox for the user's mail client.
#pragma once

#include <QString>

namespace RecipientAddress {

/// The characters that end an unquoted word in a mail header (RFC 5322 specials).
constexpr QStringView Specials = u"()<>[]:;@\\,.\"";

/// The longest address a transport is given, in characters.
constexpr qsizetype MaxLength = 254;

/// True for one plain address: local part "@" domain, exactly one "@", ASCII only, no space,
/// control, quote, comma or angle bracket, not starting with "-", at most MaxLength characters.
/// Dots are allowed anywhere in the local part: Japanese mobile carriers handed out addresses
/// such as "taro..yamada.@example.ne.jp" and those still receive mail.
bool isValid(const QString &address);

/// Throws the invalid-recipients Error, quoting the address, unless isValid(address).
void check(const QString &address);

/// The display name as it is written: every control character (C0, DEL, C1) and the line and
/// paragraph separators become a space, so that no reader meets a line break or a NUL in it,
/// and spaces at either end are dropped, as mail readers drop them.
QString displayName(const QString &name);

/// "Name <address>" for a mail client's compose window; the name is quoted where a client would
/// otherwise read it as several recipients or as an option, and control characters in it become
/// spaces. Only the address when the name is empty.
QString mailbox(const QString &name, const QString &address);

} // namespace RecipientAddress
