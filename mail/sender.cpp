#include "sender.h"

#include "recipientaddress.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {
constexpr auto Format = "zelvora-sender";
constexpr int Version = 1;
} // namespace

QByteArray Sender::toBytes() const
{
    const QJsonObject object { { u"format"_s, QLatin1StringView(Format) },
                               { u"version"_s, Version },
                               { u"address"_s, address },
                               { u"name"_s, name } };
    return QJsonDocument(object).toJson();
}

std::optional<Sender> Sender::parse(const QByteArray &bytes)
{
    const QJsonObject object = QJsonDocument::fromJson(bytes).object();
    if (object.value(u"format"_s).toString() != QLatin1StringView(Format)
        || object.value(u"version"_s).toInt() != Version)
        return std::nullopt;
    Sender sender { object.value(u"address"_s).toString(), object.value(u"name"_s).toString() };
    if (!RecipientAddress::isValid(sender.address))
        return std::nullopt;
    sender.name = RecipientAddress::displayName(sender.name);
    return sender;
}

QString Sender::offered(const QString &emailLine, const QString &transportSender)
{
    // The E-mail field holds a caption before the address ("E-mail : taro@example.jp").
    static const QRegularExpression word(u"[^\\s:：<>()（）]+@[^\\s<>()（）]+"_s);
    const QString written = word.match(emailLine).captured();
    if (RecipientAddress::isValid(written))
        return written;
    return RecipientAddress::isValid(transportSender) ? transportSender : QString();
}
