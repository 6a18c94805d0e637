// The message built with GMime, in the module the mail handler loads on the first send.
#include "mimemodule.h"

#include "mailhandler.h"
#include "recipientaddress.h"

#include <QList>
#include <QStringList>
#include <QSysInfo>

#include <gmime/gmime.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <type_traits>

using namespace Qt::StringLiterals;

namespace {

struct GObjectUnref
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
template<typename T> using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GFree
{
    void operator()(gpointer memory) const { g_free(memory); }
};

void initialiseGMime()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

// Qt writes a lone surrogate as "?", which hides that something was lost; U+FFFD shows it.
QString withoutLoneSurrogates(const QString &text)
{
    QString clean;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        bool lone = false;
        if (c.isHighSurrogate())
            lone = i + 1 >= n || !text.at(i + 1).isLowSurrogate();
        else if (c.isLowSurrogate())
            lone = i == 0 || !text.at(i - 1).isHighSurrogate();
        if (lone && clean.isNull())
            clean = text.left(i);
        if (!clean.isNull())
            clean.append(lone ? QChar(QChar::ReplacementCharacter) : c);
    }
    return clean.isNull() ? text : clean;
}

QByteArray utf8(const QString &text)
{
    return withoutLoneSurrogates(text).toUtf8();
}

// 39 bytes give 52 base64 characters: a word of 64, which fits on a folded line after
// "Subject: " within the customary 78 columns.
constexpr qsizetype MaxWordBytes = 39;
constexpr qsizetype FoldColumn = 76;
// Plain ASCII longer than this is encoded too, so that no single token overflows a line.
constexpr qsizetype MaxPlainLength = 60;

bool isPrintableAscii(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    }
    return true;
}

// Text a reader could take for something else: anything that is not short printable ASCII, or
// that holds "=?", which a reader would decode as an encoded word.
bool needsEncoding(const QString &text)
{
    return !isPrintableAscii(text) || text.size() > MaxPlainLength || text.contains(u"=?"_s);
}

// The UTF-8 of each character of text, lone surrogates as U+FFFD.
QList<QByteArray> characters(const QString &text)
{
    const QString clean = withoutLoneSurrogates(text);
    QList<QByteArray> result;
    for (qsizetype i = 0; i < clean.size();) {
        const qsizetype length = clean.at(i).isHighSurrogate() ? 2 : 1;
        result.append(QStringView(clean).mid(i, length).toUtf8());
        i += length;
    }
    return result;
}

// Q words: no padding at all. Only letters, digits and "!*+-/" stand for themselves, which a
// phrase allows; a space is "_".
QList<QByteArray> qEncodedWords(const QList<QByteArray> &characters)
{
    constexpr qsizetype MaxEncoded = 64 - 12; // as long as a base64 word, with "=?UTF-8?Q?" "?="
    QList<QByteArray> words;
    QByteArray word;
    for (const QByteArray &character : characters) {
        QByteArray encoded;
        for (const char byte : character) {
            const uchar c = uchar(byte);
            if (std::isalnum(c) || std::strchr("!*+-/", c))
                encoded += char(c);
            else if (c == ' ')
                encoded += '_';
            else
                encoded += '=' + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
        }
        if (word.size() + encoded.size() > MaxEncoded) {
            words.append("=?UTF-8?Q?" + word + "?=");
            word.clear();
        }
        word += encoded;
    }
    words.append("=?UTF-8?Q?" + word + "?=");
    return words;
}

// RFC 2047 words for text: base64 words of UTF-8, each cut between characters after a multiple
// of three bytes, so that no word but the last ends in "=" padding (readers built on GMime drop
// every word after such a word). Text whose characters leave no such cut within a word's
// length is written in Q words instead.
QList<QByteArray> encodedWords(const QString &text)
{
    const QList<QByteArray> chars = characters(text);
    QList<QByteArray> words;
    for (qsizetype start = 0; start < chars.size();) {
        qsizetype bytes = 0, end = start, cut = -1;
        while (end < chars.size() && bytes + chars[end].size() <= MaxWordBytes) {
            bytes += chars[end++].size();
            if (bytes % 3 == 0 || end == chars.size())
                cut = end;
        }
        if (cut < 0)
            return qEncodedWords(chars);
        QByteArray chunk;
        for (qsizetype i = start; i < cut; ++i)
            chunk += chars[i];
        words.append("=?UTF-8?B?" + chunk.toBase64() + "?=");
        start = cut;
    }
    return words;
}

bool isAtom(const QString &word)
{
    if (word.isEmpty())
        return false;
    for (QChar c : word) {
        if (RecipientAddress::Specials.contains(c) || c == u' ')
            return false;
    }
    return true;
}

// The display name as tokens of a phrase: atoms as they are, other ASCII as one quoted string
// (spaces at either end kept) when that fits on a line, everything else as encoded words.
// Control characters become spaces first.
QList<QByteArray> phraseTokens(const QString &rawName)
{
    const QString name = RecipientAddress::displayName(rawName);
    if (name.isEmpty())
        return {};
    // Readers disagree about spaces at either end of a quoted name, or two in a row in it.
    if (needsEncoding(name) || name.startsWith(u' ') || name.endsWith(u' ')
        || name.contains(u"  "_s))
        return encodedWords(name);
    const QStringList words = name.split(u' ');
    if (std::all_of(words.begin(), words.end(), isAtom))
        return { name.toLatin1() };
    QString quoted = name;
    quoted.replace(u'\\', u"\\\\"_s).replace(u'"', u"\\\""_s);
    if (quoted.size() + 2 > MaxPlainLength)
        return encodedWords(name);
    return { '"' + quoted.toLatin1() + '"' };
}

QList<QByteArray> unstructuredTokens(const QString &text)
{
    const bool plain = !needsEncoding(text) && !text.startsWith(u' ') && !text.endsWith(u' ')
        && !text.contains(u"  "_s);
    return plain ? QList<QByteArray> { text.toLatin1() } : encodedWords(text);
}

// GMime's raw header value: each token after a space, folded before a token that would pass
// the fold column, ending in a line break.
QByteArray folded(const char *headerName, const QList<QByteArray> &tokens)
{
    QByteArray raw;
    qsizetype column = qstrlen(headerName) + 1;
    for (const QByteArray &token : tokens) {
        if (!raw.isEmpty() && column + 1 + token.size() > FoldColumn) {
            raw += '\n';
            column = 0;
        }
        raw += ' ' + token;
        column += 1 + token.size();
    }
    return raw + '\n';
}

void setRawHeader(GMimeObject *object, const char *name, const QByteArray &raw)
{
    GMimeHeader *header
        = g_mime_header_list_get_header(g_mime_object_get_header_list(object), name);
    if (!header) {
        g_mime_object_set_header(object, name, "", nullptr);
        header = g_mime_header_list_get_header(g_mime_object_get_header_list(object), name);
    }
    g_mime_header_set_raw_value(header, raw.constData());
}

// The address as the To header writes it. A local part with leading, trailing or doubled dots
// (still met at Japanese mobile carriers) is not a dot-atom and goes in quotes there; so does one
// that holds "=?", which common readers decode as an encoded word even between quotes and then
// show another address than the one used. The transport is given it unquoted.
QByteArray headerAddress(const QString &address)
{
    const qsizetype at = address.lastIndexOf(u'@');
    const QString local = address.left(at);
    if (local.contains(u"=?"_s)) // "\=?" is the same character, and starts no encoded word
        return '"' + local.toLatin1().replace("=?", "\\=?") + '"' + address.mid(at).toLatin1();
    if (local.startsWith(u'.') || local.endsWith(u'.') || local.contains(u".."_s))
        return '"' + local.toLatin1() + '"' + address.mid(at).toLatin1();
    return address.toLatin1();
}

QByteArray messageIdDomain()
{
    QByteArray host;
    for (char c : QSysInfo::machineHostName().toLatin1()) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-'
            || c == '.')
            host += c;
    }
    return host.isEmpty() ? QByteArrayLiteral("localhost") : host;
}

QByteArray buildMessage(const MimeMessage::Fields &fields)
{
    initialiseGMime();

    GObjectPtr<GMimeMessage> message(g_mime_message_new(FALSE));
    auto object = GMIME_OBJECT(message.get());

    // GMime writes a long name as encoded words of well over 75 characters and leaves a name
    // that looks like an encoded word unencoded, so the To and Subject values are folded here
    // and handed to GMime as they are to be written.
    if (!fields.senderAddress.isEmpty()) {
        QList<QByteArray> from = phraseTokens(fields.senderName);
        const QByteArray sender = headerAddress(fields.senderAddress);
        from.append(from.isEmpty() ? sender : '<' + sender + '>');
        setRawHeader(object, "From", folded("From", from));
    }
    const QByteArray address = headerAddress(fields.recipientAddress);
    QList<QByteArray> to = phraseTokens(fields.recipientName);
    to.append(to.isEmpty() ? address : '<' + address + '>');
    setRawHeader(object, "To", folded("To", to));

    if (!fields.subject.isEmpty()) {
        setRawHeader(object, "Subject", folded("Subject", unstructuredTokens(fields.subject)));
    }

    GDateTime *now = g_date_time_new_now_local();
    g_mime_message_set_date(message.get(), now);
    g_date_time_unref(now);
    std::unique_ptr<char, GFree> messageId(
        g_mime_utils_generate_message_id(messageIdDomain().constData()));
    g_mime_message_set_message_id(message.get(), messageId.get());

    GObjectPtr<GMimePart> part(g_mime_part_new_with_type("text", "plain"));
    // Encoded here, in lines of 76 characters, and handed to GMime as base64 already: GMime's
    // own encoder takes several times as long, and the window waits for this.
    const QByteArray base64 = utf8(fields.body).toBase64();
    QByteArray body;
    body.reserve(base64.size() + base64.size() / 76 + 1);
    for (qsizetype at = 0; at < base64.size(); at += 76)
        body.append(base64.constData() + at, std::min<qsizetype>(76, base64.size() - at))
            .append('\n');
    GObjectPtr<GMimeStream> content(
        g_mime_stream_mem_new_with_buffer(body.constData(), body.size()));
    GObjectPtr<GMimeDataWrapper> wrapper(
        g_mime_data_wrapper_new_with_stream(content.get(), GMIME_CONTENT_ENCODING_BASE64));
    g_mime_part_set_content(part.get(), wrapper.get());
    g_mime_object_set_content_type_parameter(GMIME_OBJECT(part.get()), "charset", "UTF-8");
    g_mime_part_set_content_encoding(part.get(), GMIME_CONTENT_ENCODING_BASE64);
    g_mime_message_set_mime_part(message.get(), GMIME_OBJECT(part.get()));

    // sendmail reads local text: LF line endings.
    std::unique_ptr<GMimeFormatOptions, decltype(&g_mime_format_options_free)> options(
        g_mime_format_options_new(), &g_mime_format_options_free);
    g_mime_format_options_set_newline_format(options.get(), GMIME_NEWLINE_FORMAT_UNIX);
    GByteArray *bytes
        = g_byte_array_sized_new(guint(body.size() / 3 * 4 + body.size() / 38 + 4096));
    GObjectPtr<GMimeStream> output(g_mime_stream_mem_new_with_byte_array(bytes));
    if (g_mime_object_write_to_stream(object, options.get(), output.get()) < 0)
        throw Error { MapiError::Failure, {} };
    return QByteArray(reinterpret_cast<const char *>(bytes->data), qsizetype(bytes->len));
}

} // namespace

// What is thrown here does not cross into the program that loaded the module: it comes back as
// a number, which the mail handler words for the author.
extern "C" Q_DECL_EXPORT qint32 zelvora_mime_build(const MimeMessage::Fields *fields,
                                                   QByteArray *message)
{
    static_assert(std::is_same_v<decltype(&zelvora_mime_build), MimeModule::BuildFunction>);
    try {
        *message = buildMessage(*fields);
        return 0;
    } catch (const Error &error) {
        return error.number;
    } catch (const std::bad_alloc &) {
        return MapiError::InsufficientMemory;
    }
}
