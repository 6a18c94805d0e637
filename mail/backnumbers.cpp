#include "backnumbers.h"

#include "keptsession.h"
#include "textmarks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace Backnumbers {

namespace {

// The list needs only a copy's headers and its first lines.
constexpr qint64 SummaryBytes = 16 * 1024;
constexpr qint64 MaxFieldsBytes = 4 * 1024 * 1024;

// Orders copies by when they were made: the name, where it is the time a copy is named by
// ("2026-12-07_101500-2.eml" after "2026-12-07_101500.eml"), else the file's time.
QString sortKey(const QFileInfo &info)
{
    static const QRegularExpression named(
        u"^(\\d{4}-\\d\\d-\\d\\d_\\d{6})(?:-(\\d{1,6}))?\\.eml$"_s);
    const auto match = named.match(info.fileName());
    if (match.hasMatch())
        return match.captured(1) + match.captured(2).rightJustified(6, u'0');
    return info.lastModified().toString(u"yyyy-MM-dd_HHmmss"_s) + u"000000"_s;
}

// Why the file is not read; empty when it may be. A link may lead anywhere, and a pipe or a
// device would never end.
QString refusal(const QFileInfo &info)
{
    if (info.isSymLink())
        return u"リンクなので読みませんでした"_s;
    if (!info.isFile())
        return u"普通のファイルではありません"_s;
    return {};
}

struct Read
{
    QByteArray bytes;
    bool whole = true;
    QString problem;
};

Read readFile(const QString &path, qint64 limit)
{
    const QFileInfo info(path);
    if (QString why = refusal(info); !why.isEmpty())
        return { {}, false, why };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return { {}, false, u"読めません（%1）"_s.arg(file.errorString()) };
    Read read { file.read(limit), true, {} };
    if (file.error() != QFile::NoError)
        return { {}, false, u"読めません（%1）"_s.arg(file.errorString()) };
    read.whole = file.atEnd();
    return read;
}

} // namespace

std::optional<QMap<QString, QString>> fields(const QString &copy)
{
    const Read read = readFile(fieldsFile(copy), MaxFieldsBytes);
    if (!read.problem.isEmpty() || !read.whole)
        return std::nullopt;
    const auto parsed = KeptSession::parse(read.bytes);
    if (parsed.reading != KeptSession::Reading::Read)
        return std::nullopt;
    return parsed.session.fields;
}

namespace {

QByteArray quotedPrintable(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '=') {
            out.append(text[i]);
        } else if (i + 1 < text.size() && text[i + 1] == '\n') {
            ++i; // a soft line break
        } else if (i + 2 < text.size() && text[i + 1] == '\r' && text[i + 2] == '\n') {
            i += 2;
        } else {
            bool ok = false;
            const int byte = text.sliced(i + 1, std::min<qsizetype>(2, text.size() - i - 1))
                                 .toByteArray()
                                 .toInt(&ok, 16);
            out.append(ok ? char(byte) : '=');
            i += ok ? 2 : 0;
        }
    }
    return out;
}

// The headers, names lowercased, folded lines joined; nothing when the text does not begin with
// headers.
std::optional<QMap<QByteArray, QByteArray>> headers(QByteArrayView head)
{
    QMap<QByteArray, QByteArray> found;
    QByteArray name;
    for (QByteArrayView line : head.toByteArray().split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty() && (line[0] == ' ' || line[0] == '\t') && !name.isEmpty()) {
            found[name] += ' ' + line.trimmed().toByteArray();
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || line.first(colon).contains(' '))
            return std::nullopt;
        name = line.first(colon).toByteArray().toLower();
        found.insert(name, line.sliced(colon + 1).trimmed().toByteArray());
    }
    return found;
}

QByteArray parameter(const QByteArray &value, const QByteArray &name)
{
    static const QRegularExpression any(u";\\s*([A-Za-z-]+)\\s*=\\s*\"?([^\";\\s]*)"_s);
    for (const auto &match : any.globalMatch(QString::fromLatin1(value)))
        if (match.captured(1).compare(QLatin1StringView(name), Qt::CaseInsensitive) == 0)
            return match.captured(2).toLatin1();
    return {};
}

// The body's bytes decoded from its transfer encoding; a body cut short is decoded as far as
// it goes.
std::optional<QByteArray> decodeTransfer(QByteArray body, const QByteArray &encoding, bool whole)
{
    if (encoding.compare("base64", Qt::CaseInsensitive) == 0) {
        body.removeIf([](char c) { return c == '\n' || c == '\r' || c == ' ' || c == '\t'; });
        if (!whole)
            body.truncate(body.size() / 4 * 4);
        else if (body.size() % 4 != 0)
            return std::nullopt; // cut short
        auto decoded
            = QByteArray::fromBase64Encoding(body, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return std::nullopt;
        return *decoded;
    }
    if (encoding.compare("quoted-printable", Qt::CaseInsensitive) == 0)
        return quotedPrintable(body);
    return body;
}

} // namespace

QStringList files(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    QFileInfoList found
        = QDir(folder).entryInfoList({ u"*.eml"_s }, QDir::Files | QDir::System | QDir::Hidden);
    QList<std::pair<QString, QString>> keyed;
    keyed.reserve(found.size());
    for (const QFileInfo &info : std::as_const(found))
        keyed.append({ sortKey(info), info.filePath() });
    std::sort(keyed.begin(), keyed.end(), std::greater<>());
    QStringList paths;
    paths.reserve(keyed.size());
    for (const auto &[key, path] : std::as_const(keyed))
        paths.append(path);
    return paths;
}

QString fieldsFile(const QString &copy)
{
    QString stem = copy;
    if (stem.endsWith(u".eml"_s))
        stem.chop(4);
    return stem + u".fields"_s;
}

Message parse(const QByteArray &bytes, bool whole)
{
    Message message;
    qsizetype end = bytes.indexOf("\n\n");
    qsizetype crlfEnd = bytes.indexOf("\r\n\r\n");
    if (crlfEnd >= 0 && (end < 0 || crlfEnd < end))
        end = crlfEnd + 2;
    const auto head = end < 0 ? std::nullopt : headers(QByteArrayView(bytes).first(end));
    if (!head || (!head->contains("content-type") && !head->contains("to"))) {
        message.problem = u"メールの形式ではありません"_s;
        return message;
    }
    const QByteArray to = head->value("to");
    const qsizetype open = to.lastIndexOf('<'), close = to.lastIndexOf('>');
    message.to
        = QString::fromUtf8(open >= 0 && close > open ? to.mid(open + 1, close - open - 1) : to);
    message.date = QDateTime::fromString(QString::fromLatin1(head->value("date")), Qt::RFC2822Date)
                       .toLocalTime();
    const QByteArray type = head->value("content-type", "text/plain");
    if (!type.toLower().startsWith("text/plain")) {
        message.problem = u"この形式のメールは表示できません"_s;
        return message;
    }
    const auto body
        = decodeTransfer(bytes.mid(end + 2), head->value("content-transfer-encoding"), whole);
    QByteArray charset = parameter(type, "charset");
    if (charset.isEmpty() || charset.compare("us-ascii", Qt::CaseInsensitive) == 0)
        charset = "UTF-8";
    QStringDecoder decoder(charset.constData());
    if (!body || !decoder.isValid()) {
        message.problem = body ? u"文字コード %1 を読めません"_s.arg(QString::fromLatin1(charset))
                               : u"本文を復号できません"_s;
        return message;
    }
    message.body = decoder.decode(*body);
    if (whole && decoder.hasError())
        message.problem = u"本文に読めない文字があります"_s;
    return message;
}

namespace {

// A line for the list: the beginning of a long one.
QString shortened(QStringView line)
{
    constexpr qsizetype Shown = 100;
    line = line.trimmed();
    return line.size() > Shown ? line.first(Shown).toString() + u'…' : line.toString();
}

} // namespace

Summary summary(const QString &file)
{
    Summary summary { file, QFileInfo(file).lastModified(), {}, {}, {}, {} };
    const Read read = readFile(file, SummaryBytes);
    if (!read.problem.isEmpty()) {
        summary.problem = read.problem;
        return summary;
    }
    const Message message = parse(read.bytes, read.whole);
    summary.problem = message.problem;
    if (message.date.isValid())
        summary.at = message.date;
    summary.recipient = message.to;
    for (QStringView line : QStringView(message.body).tokenize(u'\n')) {
        if (!line.trimmed().isEmpty()) {
            summary.firstLine = shortened(line);
            break;
        }
    }
    if (const auto kept = fields(file)) {
        // The issue's own text, past the header lines every issue repeats.
        for (QStringView line : QStringView(kept->value(u"Text7"_s)).tokenize(u'\n')) {
            if (!line.trimmed().isEmpty()) {
                summary.firstLine = shortened(line);
                break;
            }
        }
        summary.issue = shortened(kept->value(u"Combo1"_s));
        if (summary.issue.isEmpty())
            summary.issue = shortened(kept->value(u"Text6"_s).trimmed().split(u'\n').last());
    }
    return summary;
}

Issue read(const QString &file, qint64 limit)
{
    const Read read = readFile(file, limit);
    if (!read.problem.isEmpty())
        return { {}, std::nullopt, read.problem, false };
    Message message = parse(read.bytes, read.whole);
    return { std::move(message.body), fields(file), message.problem, !read.whole };
}

QSet<QString> markedLines(const QString &folder, int guide, int issues)
{
    QSet<QString> lines;
    for (const QString &file : files(folder)) {
        const Issue issue = read(file);
        if (!issue.problem.isEmpty() || issue.cut)
            continue;
        for (QStringView line : QStringView(issue.text).tokenize(u"\r\n"))
            if (!TextMarks::markLine(line, guide).isEmpty())
                lines.insert(line.toString());
        if (--issues == 0)
            break;
    }
    return lines;
}

} // namespace Backnumbers
