#include "keptsession.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace {

const QString Format = u"zelvora-session"_s;

QJsonObject fontObject(const KeptFont &font)
{
    return { { u"families"_s, QJsonArray::fromStringList(font.families) },
             { u"pointSize"_s, font.pointSize },
             { u"bold"_s, font.bold },
             { u"italic"_s, font.italic },
             { u"strikeOut"_s, font.strikeOut },
             { u"underline"_s, font.underline },
             { u"colour"_s, u"#%1"_s.arg(uint(font.colour), 6, 16, QChar(u'0')) } };
}

bool readBool(const QJsonObject &object, const QString &key, bool &value)
{
    value = object.value(key).toBool();
    return object.value(key).isBool();
}

bool readFont(const QJsonObject &object, KeptFont &font)
{
    const QJsonValue families = object.value(u"families"_s);
    if (!families.isArray() || families.toArray().isEmpty())
        return false;
    for (const QJsonValue &family : families.toArray()) {
        if (!family.isString())
            return false;
        font.families << family.toString();
    }
    font.pointSize = object.value(u"pointSize"_s).toDouble();
    // What a font dialog offers, with room to spare; a size of 0 or less draws nothing.
    if (!(font.pointSize > 0 && font.pointSize <= 4096))
        return false;
    const QString colour = object.value(u"colour"_s).toString();
    bool hex = false;
    font.colour = QStringView(colour).mid(1).toUInt(&hex, 16);
    if (colour.size() != 7 || !colour.startsWith(u'#') || !hex)
        return false;
    return readBool(object, u"bold"_s, font.bold) && readBool(object, u"italic"_s, font.italic)
        && readBool(object, u"strikeOut"_s, font.strikeOut)
        && readBool(object, u"underline"_s, font.underline);
}

} // namespace

QByteArray KeptSession::toBytes() const
{
    QJsonObject texts;
    for (auto it = fields.cbegin(); it != fields.cend(); ++it)
        texts.insert(it.key(), it.value());
    const QJsonObject root { { u"format"_s, Format },
                             { u"version"_s, Version },
                             { u"fields"_s, texts },
                             { u"documentFont"_s, fontObject(documentFont) } };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
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
    parsed.reading = Reading::Read;
    return parsed;
}
