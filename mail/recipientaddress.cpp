#include "recipientaddress.h"

#include "mailhandler.h"

#include <QList>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// RFC 5322 atext: the characters of an unquoted local part besides letters and digits.
bool isAtext(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')
        || QStringView(u"!#$%&'*+-/=?^_`{|}~").contains(c);
}

bool isLocalPart(QStringView local)
{
    if (local.isEmpty())
        return false;
    for (QChar c : local) {
        if (c != u'.' && !isAtext(c))
            return false;
    }
    return true;
}

bool isLabelChar(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')
        || c == u'-';
}

// An international name's label in its ASCII form ("xn--..."): it must decode, and encode back
// to itself, or readers show the recipient a domain of their own guessing.
bool isInternationalLabel(QStringView label)
{
    const QString name = QUrl::fromAce(label.toLatin1(), QUrl::IgnoreIDNWhitelist);
    return name.compare(label, Qt::CaseInsensitive) != 0
        && QString::fromLatin1(QUrl::toAce(name, QUrl::IgnoreIDNWhitelist))
               .compare(label, Qt::CaseInsensitive)
        == 0;
}

// A host name (labels of letters, digits and hyphens, joined by single dots) or an address
// literal in brackets such as "[192.0.2.1]" or "[IPv6:2001:db8::1]".
// The longest label of a domain name (RFC 1035).
constexpr qsizetype MaxLabelLength = 63;

bool isDomain(QStringView domain)
{
    if (domain.isEmpty())
        return false;
    if (domain.startsWith(u'[')) {
        if (domain.size() < 3 || !domain.endsWith(u']'))
            return false;
        for (QChar c : domain.mid(1, domain.size() - 2)) {
            if (!isLabelChar(c) && c != u'.' && c != u':')
                return false;
        }
        return true;
    }
    for (QStringView label : domain.split(u'.')) {
        // No name server holds a longer label, and a reader's mail program drops such a domain.
        if (label.isEmpty() || label.size() > MaxLabelLength || label.startsWith(u'-')
            || label.endsWith(u'-'))
            return false;
        if (label.startsWith(u"xn--"_s, Qt::CaseInsensitive) && !isInternationalLabel(label))
            return false;
        for (QChar c : label) {
            if (!isLabelChar(c))
                return false;
        }
    }
    return true;
}

// What the user typed, shown so that every character can be seen where it sits: control
// characters as their pictures, and invisible, spacing and direction characters as <U+2028> and
// the like, so that a pasted line separator cannot break the warning's line, a zero-width space
// cannot hide and a direction mark cannot turn the warning around.
QString visibleChar(char32_t c)
{
    if (c < 0x20)
        return QChar(char16_t(0x2400 + c));
    if (c == 0x7F)
        return QChar(char16_t(0x2421));
    const auto category = QChar::category(c);
    if (c != u' '
        && (category == QChar::Other_Format || category == QChar::Separator_Line
            || category == QChar::Separator_Paragraph || category == QChar::Separator_Space
            || category == QChar::Other_NotAssigned || category == QChar::Other_Surrogate
            || category == QChar::Mark_NonSpacing || category == QChar::Other_PrivateUse))
        return u"<U+%1>"_s.arg(QString::number(uint(c), 16).toUpper().rightJustified(4, u'0'));
    return QString::fromUcs4(&c, 1);
}

QString visible(const QString &text)
{
    QString shown;
    for (char32_t c : text.toUcs4())
        shown += visibleChar(c);
    return shown;
}

// The first thing wrong that a user cannot see at a glance: a fullwidth "＠" looks much like
// the real one.
QString hint(const QString &address)
{
    for (QChar c : address) {
        if (c.unicode() > 0x7E)
            return u"半角でない文字「%1」が含まれています。"_s.arg(
                visible(address.mid(address.indexOf(c), c.isHighSurrogate() ? 2 : 1)));
        if (c.unicode() <= 0x20)
            return u"空白や改行が含まれています。"_s;
    }
    const qsizetype ats = address.count(u'@');
    if (ats == 0)
        return u"「@」がありません。"_s;
    if (ats > 1)
        return u"「@」が %1 個あります。"_s.arg(ats);
    if (address.startsWith(u'-'))
        return u"先頭の「-」は使えません。"_s;
    if (address.size() > RecipientAddress::MaxLength)
        return u"%1 文字を超えています。"_s.arg(RecipientAddress::MaxLength);
    return {};
}

bool needsQuotes(const QString &name)
{
    if (name.startsWith(u'-') || name.startsWith(u' ') || name.endsWith(u' '))
        return true;
    for (QChar c : name) {
        if (RecipientAddress::Specials.contains(c))
            return true;
    }
    return false;
}

} // namespace

namespace RecipientAddress {

bool isValid(const QString &address)
{
    if (address.isEmpty() || address.size() > MaxLength || address.startsWith(u'-'))
        return false;
    const qsizetype at = address.indexOf(u'@');
    if (at < 0 || address.indexOf(u'@', at + 1) >= 0)
        return false;
    return isLocalPart(QStringView(address).left(at)) && isDomain(QStringView(address).mid(at + 1));
}

void check(const QString &address)
{
    if (isValid(address))
        return;
    QString reason;
    if (address.isEmpty())
        reason = u"宛先メールアドレスが入力されていません。"_s;
    else
        reason = u"宛先メールアドレス「%1」は正しくありません。"_s.arg(visible(address))
            + hint(address);
    throw Error { MapiError::InvalidRecipients,
                  reason
                      + u"name@example.jp のように、半角英数字で「@」を一つだけ含み、空白や"
                        u"改行のない形で入力してください。メールは送られていません。"_s };
}

QString displayName(const QString &name)
{
    QString clean = name;
    for (QChar &c : clean) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            c = u' ';
    }
    qsizetype start = 0, end = clean.size();
    while (start < end && clean.at(start) == u' ')
        ++start;
    while (end > start && clean.at(end - 1) == u' ')
        --end;
    return clean.mid(start, end - start);
}

QString mailbox(const QString &name, const QString &address)
{
    QString cleanName = displayName(name);
    if (cleanName.isEmpty())
        return address;
    if (needsQuotes(cleanName)) {
        cleanName.replace(u'\\', u"\\\\"_s).replace(u'"', u"\\\""_s);
        cleanName = u'"' + cleanName + u'"';
    }
    return cleanName + u" <"_s + address + u'>';
}

} // namespace RecipientAddress
