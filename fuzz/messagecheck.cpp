#include "messagecheck.h"

#include "documentsender.h"
#include "error.h"
#include "mimemessage.h"
#include "recipientaddress.h"

#include <QList>
#include <QUrl>

#include <gmime/gmime.h>

#include <algorithm>
#include <memory>
#include <mutex>

using namespace Qt::StringLiterals;

namespace MessageCheck {

namespace {

struct Unref
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
template<typename T> using Ptr = std::unique_ptr<T, Unref>;

// The address as the transport is given it: a quoted local part without its quotes, and each
// quoted pair ("\=") as the character it stands for.
QString unquoted(QString address)
{
    if (address.startsWith(u'"')) {
        const qsizetype close = address.indexOf(u"\"@"_s, 1);
        if (close > 0) {
            QString local;
            for (qsizetype i = 1; i < close; ++i)
                local += address.at(address.at(i) == u'\\' && i + 1 < close ? ++i : i);
            address = local + address.mid(close + 1);
        }
    }
    return address;
}

// GMime shows an international domain in its own letters; the transport was given its ASCII form.
QString ascii(const QString &address)
{
    const qsizetype at = address.lastIndexOf(u'@');
    if (std::all_of(address.begin(), address.end(), [](QChar c) { return c.unicode() < 0x80; }))
        return address;
    return address.left(at + 1)
        + QString::fromLatin1(QUrl::toAce(address.mid(at + 1), QUrl::IgnoreIDNWhitelist));
}

// RFC 5322: a header line should be folded within 78 characters, and must not pass 998.
constexpr qsizetype FoldedLength = 78;
constexpr qsizetype MaxLineLength = 998;

// The address proper written in a header as the address it stands for; empty when it is none. A
// quoted local part is taken without its quotes and with each quoted pair as its character, a
// pair only where quoting calls for one: before a special, or before the "=" of "=?", which a
// reader would otherwise take for the start of an encoded word.
QString addrSpec(const QByteArray &token)
{
    constexpr QLatin1StringView Specials("()<>[]:;@\\,.\"");
    if (!token.startsWith('"'))
        return QString::fromLatin1(token);
    const auto at = [&token](qsizetype i) { return i < token.size() ? token.at(i) : '\0'; };
    QString local;
    for (qsizetype i = 1; i < token.size(); ++i) {
        char c = at(i);
        if (c == '"')
            return at(i + 1) == '@' ? local + QString::fromLatin1(token.mid(i + 1)) : QString();
        if (c == '\\') {
            c = at(++i);
            if (!Specials.contains(QLatin1Char(c)) && !(c == '=' && at(i + 1) == '?'))
                return {};
        }
        local += QLatin1Char(c);
    }
    return {};
}

// A line over 78 columns that the writer could not fold: nothing on it but the recipient's
// address (bare or in angle brackets) after "To: " or after the space that continues the To
// header. An address holds no space to fold at; anything else on the line could have gone on
// a line of its own.
bool isUnfoldable(const QByteArray &line, bool first, const QString &address)
{
    const bool lead
        = first ? line.toLower().startsWith("to: ") : line.startsWith(' ') || line.startsWith('\t');
    if (!lead)
        return false;
    QByteArray token = line.mid(first ? 4 : 1);
    if (token.startsWith('<') && token.endsWith('>'))
        token = token.mid(1, token.size() - 2);
    return addrSpec(token).compare(address, Qt::CaseInsensitive) == 0;
}

} // namespace

Seen read(const QByteArray &message)
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
    Seen seen;
    const QByteArray header = message.left(message.indexOf("\n\n"));
    for (QByteArray line : header.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        seen.headerLines.append(line);
    }

    Ptr<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(message.constData(), message.size()));
    Ptr<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    Ptr<GMimeMessage> parsed(g_mime_parser_construct_message(parser.get(), nullptr));
    if (!parsed)
        return seen;
    InternetAddressList *to = g_mime_message_get_to(parsed.get());
    seen.recipients = internet_address_list_length(to);
    if (seen.recipients > 0) {
        InternetAddress *first = internet_address_list_get_address(to, 0);
        seen.name = QString::fromUtf8(internet_address_get_name(first));
        if (INTERNET_ADDRESS_IS_MAILBOX(first))
            seen.address = ascii(unquoted(QString::fromUtf8(
                internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(first)))));
    }
    seen.subject = QString::fromUtf8(g_mime_message_get_subject(parsed.get()));
    GMimeObject *part = g_mime_message_get_mime_part(parsed.get());
    if (GMIME_IS_PART(part)) {
        GByteArray *bytes = g_byte_array_new();
        Ptr<GMimeStream> out(g_mime_stream_mem_new_with_byte_array(bytes));
        g_mime_data_wrapper_write_to_stream(g_mime_part_get_content(GMIME_PART(part)), out.get());
        seen.body = QByteArray(reinterpret_cast<const char *>(bytes->data), qsizetype(bytes->len));
    }
    return seen;
}

QString check(const QString &name, const QString &address, const QString &body)
{
    if (!RecipientAddress::isValid(address))
        return {};
    const QByteArray message
        = MimeMessage::build({ name, address, DocumentSender::subject(), body });
    const Seen seen = read(message);
    QString wrong;
    const auto expect = [&](bool holds, const QString &what) {
        if (!holds)
            wrong += what + u'\n';
    };
    expect(seen.recipients == 1, u"recipients: %1"_s.arg(seen.recipients));
    expect(seen.address.compare(address, Qt::CaseInsensitive) == 0, u"address: "_s + seen.address);
    const QString shownName = RecipientAddress::displayName(name);
    expect(seen.name == shownName, u"name: "_s + seen.name);
    expect(seen.subject == DocumentSender::subject(), u"subject: "_s + seen.subject);
    expect(seen.body == body.toUtf8(), u"body differs"_s);
    bool inTo = false;
    for (const QByteArray &line : seen.headerLines) {
        const bool continued = line.startsWith(' ') || line.startsWith('\t');
        if (!continued)
            inTo = line.toLower().startsWith("to:");
        expect(line.size() <= MaxLineLength
                   && (line.size() <= FoldedLength
                       || (inTo && isUnfoldable(line, !continued, address))),
               u"header line of %1 columns: "_s.arg(line.size()) + QString::fromUtf8(line));
    }
    return wrong;
}

} // namespace MessageCheck
