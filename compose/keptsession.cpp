#include "keptsession.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <numeric>

using namespace Qt::StringLiterals;

namespace {

const QString Format = u"zelvora-session"_s;

// A JSON string of text. QJsonDocument escapes character by character, many times slower than
// this for a document of 1 MiB; only what JSON requires is escaped (all of it ASCII, so the
// UTF-8 bytes are scanned), every other character is kept as it is (U+2028 too).
void appendString(QByteArray &out, QStringView text)
{
    const QByteArray utf8 = text.toUtf8();
    out += '"';
    qsizetype plain = 0; // the start of the bytes not yet appended
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const uchar c = uchar(utf8[i]);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        out.append(utf8.constData() + plain, i - plain);
        plain = i + 1;
        if (c == '"' || c == '\\')
            out += '\\', out += char(c);
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += "\\u00" + QByteArray::number(c, 16).rightJustified(2, '0');
    }
    out.append(utf8.constData() + plain, utf8.size() - plain);
    out += '"';
}

const char *boolean(bool value)
{
    return value ? "true" : "false";
}

// 0xRRGGBB as 0x00BBGGRR and back: the file writes colours as the web does.
quint32 bgr(quint32 rgb)
{
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

bool readBool(const QJsonObject &object, const QString &key, bool &value)
{
    value = object.value(key).toBool();
    return object.value(key).isBool();
}

bool readFont(const QJsonObject &object, FontChoice &font)
{
    const QJsonValue families = object.value(u"families"_s);
    if (!families.isArray() || families.toArray().isEmpty())
        return false;
    for (const QJsonValue &family : families.toArray()) {
        if (!family.isString())
            return false;
        font.families << family.toString();
    }
    font.size = object.value(u"pointSize"_s).toDouble();
    // What a font dialog offers, with room to spare; a size of 0 or less draws nothing.
    if (!(font.size > 0 && font.size <= 4096))
        return false;
    const QString colour = object.value(u"colour"_s).toString();
    bool hex = false;
    const quint32 rgb = QStringView(colour).mid(1).toUInt(&hex, 16);
    if (colour.size() != 7 || !colour.startsWith(u'#') || !hex)
        return false;
    font.colour = bgr(rgb);
    return readBool(object, u"bold"_s, font.bold) && readBool(object, u"italic"_s, font.italic)
        && readBool(object, u"strikeOut"_s, font.strikeOut)
        && readBool(object, u"underline"_s, font.underline);
}

} // namespace

QByteArray KeptSession::toBytes() const
{
    QByteArray json;
    json.reserve(1024
                 + 4
                     * std::accumulate(
                         fields.cbegin(), fields.cend(), qsizetype(0),
                         [](qsizetype sum, const QString &text) { return sum + text.size(); }));
    json += "{\n    \"format\": ";
    appendString(json, Format);
    json += ",\n    \"version\": " + QByteArray::number(Version) + ",\n    \"fields\": {";
    for (auto it = fields.cbegin(); it != fields.cend(); ++it) {
        json += it == fields.cbegin() ? "\n        " : ",\n        ";
        appendString(json, it.key());
        json += ": ";
        appendString(json, it.value());
    }
    json += "\n    },\n    \"documentFont\": {\n        \"families\": [";
    for (qsizetype i = 0; i < documentFont.families.size(); ++i) {
        if (i)
            json += ", ";
        appendString(json, documentFont.families[i]);
    }
    const FontChoice &f = documentFont;
    json += "],\n        \"pointSize\": "
        + QByteArray::number(f.size, 'g', QLocale::FloatingPointShortest)
        + ",\n        \"bold\": " + boolean(f.bold) + ",\n        \"italic\": " + boolean(f.italic)
        + ",\n        \"strikeOut\": " + boolean(f.strikeOut)
        + ",\n        \"underline\": " + boolean(f.underline) + ",\n        \"colour\": \"#"
        + QByteArray::number(bgr(f.colour), 16).rightJustified(6, '0') + "\"\n    }";
    if (guideWidth > 0)
        json += ",\n    \"guideWidth\": " + QByteArray::number(guideWidth);
    json += "\n}\n";
    return json;
}

KeptSession::Parsed KeptSession::parse(const QByteArray &bytes)
{
    Parsed parsed;
    if (bytes.size() > MaxBytes)
        return parsed;
    // The parser refuses a file cut short anywhere (the closing brace is its last character)
    // and bytes that are not UTF-8.
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return parsed;
    const QJsonObject root = document.object();
    const QJsonValue version = root.value(u"version"_s);
    if (root.value(u"format"_s).toString() != Format || !version.isDouble()
        || version.toDouble() != double(version.toInteger()) || version.toInteger() < 1)
        return parsed;
    if (version.toInteger() > Version) {
        parsed.reading = Reading::Newer;
        return parsed;
    }
    if (version.toInteger() != Version || !root.value(u"fields"_s).isObject()
        || !root.value(u"documentFont"_s).isObject()
        || !readFont(root.value(u"documentFont"_s).toObject(), parsed.session.documentFont))
        return parsed;
    const QJsonObject texts = root.value(u"fields"_s).toObject();
    for (auto it = texts.begin(); it != texts.end(); ++it) {
        if (!it.value().isString())
            return parsed;
        parsed.session.fields.insert(it.key(), it.value().toString());
    }
    // A guide width of no use is dropped, not a reason to lose the work.
    if (const int guide = root.value(u"guideWidth"_s).toInt(); guide > 0 && guide <= 1000)
        parsed.session.guideWidth = guide;
    parsed.reading = Reading::Read;
    return parsed;
}
