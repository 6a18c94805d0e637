// Messages as a recipient's mail program reads them: every message is decoded by Python's email
// package (Debian's python3) and must give back the name, address, subject and body exactly.
#include "mail/mapi.h"
#include "platform/mimemessage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

namespace {

// Decodes a message from stdin and reports what a reader sees, plus the encoded words that
// break the rules (longer than 75, not UTF-8 B, or not valid UTF-8 on their own).
constexpr char Decoder[] = R"PY(
import base64, email, json, re, sys
from email import policy
from email.header import decode_header, make_header
from email.utils import getaddresses
from email._header_value_parser import get_address_list
from email.errors import NonPrintableDefect
raw = sys.stdin.buffer.read()
msg = email.message_from_bytes(raw, policy=policy.default)
to = ''.join(email.message_from_bytes(raw)['To'].splitlines())
head = raw.split(b'\n\n', 1)[0]
head.decode('ascii')
bad = []
for w in re.findall(rb'=\?[^?\s]*\?[^?\s]*\?[^?\s]*\?=', head):
    cs, enc, text = w[2:-2].split(b'?')
    try:
        base64.b64decode(text, validate=True).decode('utf-8')
        ok = len(w) <= 75 and cs.lower() == b'utf-8' and enc.lower() == b'b'
    except Exception:
        ok = False
    if not ok:
        bad.append(w.decode('ascii'))
# Control characters in a name are what the sender typed, carried inside encoded words.
defects = [str(d) for d in msg.defects] + [
    'To: ' + str(d) for d in get_address_list(to)[0].all_defects
    if not isinstance(d, NonPrintableDefect)]
for k in msg.keys():
    if k.lower() != 'to':
        defects += [k + ': ' + str(d) for d in msg[k].defects]
json.dump({
    'headers': sorted(k.lower() for k in msg.keys()),
    # The header registry leaves a space between adjacent encoded words of a name, where
    # RFC 2047 drops it; decode_header follows the RFC.
    'mailboxes': [[str(make_header(decode_header(n))), a] for n, a in getaddresses([to])],
    'subject': msg['Subject'],
    'body': msg.get_payload(decode=True).decode('utf-8'),
    'contentType': msg['Content-Type'].content_type + ';' + msg.get_content_charset(),
    'encoding': msg['Content-Transfer-Encoding'],
    'mimeVersion': msg['MIME-Version'],
    'dated': msg['Date'].datetime is not None,
    'messageId': msg['Message-ID'],
    'cr': b'\r' in raw,
    'longestLine': max(len(line) for line in raw.split(b'\n')),
    'badWords': bad,
    'defects': defects,
}, sys.stdout)
)PY";

QJsonObject decode(const QByteArray &message)
{
    QProcess python;
    python.start(u"/usr/bin/python3"_qs, { u"-c"_qs, QString::fromUtf8(Decoder) });
    python.write(message);
    python.closeWriteChannel();
    if (!python.waitForFinished(60000) || python.exitCode() != 0)
        qWarning().noquote() << python.readAllStandardError() << message.left(2000);
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

} // namespace

class TestMimeMessage final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void decodesExactly_data();
    void decodesExactly();
    void refusesBadAddress();
};

void TestMimeMessage::decodesExactly_data()
{
    QTest::addColumn<MimeMessage::Fields>("fields");
    // What the reader must see where it differs from what was given.
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("body");
    const auto row = [](const char *tag, const QString &name, const QString &subject,
                        const QString &body, const QString &address = u"taro@example.jp"_qs) {
        QTest::newRow(tag) << MimeMessage::Fields { name, address, subject, body } << address
                           << name << subject << body;
    };
    const QString mag = u"メルマガ配信"_qs;

    row("japanese", u"山田 太郎"_qs, mag, u"こんにちは。\r\n今週のお知らせです。\r\n"_qs);
    row("line only a dot", u"Taro"_qs, mag, u"一行目\r\n.\r\n三行目\r\n"_qs);
    row("dots and From", u"Taro"_qs, mag, u"..\r\nFrom x\r\n>From y\r\n."_qs);
    row("5000-character line", u"Taro"_qs, mag,
        QString(2500, u'あ') + QString(2500, u'x') + u"\r\n"_qs);
    row("no final line break", u"Taro"_qs, mag, u"終わり"_qs);
    row("trailing spaces", u"Taro  "_qs, u"件名  "_qs, u"行末の空白  \r\n  \r\n \t"_qs);
    row("look-alikes", u"A\u00A0B\u2028C\u3000Ｄ（＾0＾）"_qs, u"ＡＢＣ\u3000😀\u2028x"_qs,
        u"\u00A0\u2028\u3000（＾0＾）ｶﾀｶﾅ😀👨‍👩‍👧\r\n"_qs);
    row("long japanese name",
        u"寿限無寿限無五劫の擦り切れ海砂利水魚の水行末雲来末風来末食う寝る処に住む処やぶら小路の"
        u"藪柑子パイポパイポパイポのシューリンガン😀"_qs,
        QString(120, u'件') + u"😀"_qs, u"x"_qs);
    row("long ASCII", QString(300, u'n'), QString(300, u's'), u"x"_qs);
    row("injection in name", u"x\r\nBcc: victim@example.com"_qs, u"s\r\nBcc: v@example.com"_qs,
        u"x"_qs);
    row("mailbox in name", u"Yamada, Taro (Sales) <boss@example.com>"_qs, mag, u"x"_qs);
    row("encoded-word look-alike", u"=?utf-8?q?x?="_qs, u"=?utf-8?q?x?="_qs, u"=?utf-8?q?x?="_qs);
    row("quote and backslash", u"a\"b\\c"_qs, u"a\"b\\c"_qs, u"x"_qs);
    row("empty name and body", QString(), mag, QString());

    QTest::newRow("carrier address")
        << MimeMessage::Fields { u"太郎"_qs, u"taro..yamada.@docomo.ne.jp"_qs, mag, u"x"_qs }
        << u"\"taro..yamada.\"@docomo.ne.jp"_qs << u"太郎"_qs << mag << u"x"_qs;
    const QChar high(0xD83D), low(0xDC00), fffd(QChar::ReplacementCharacter);
    QTest::newRow("lone surrogates")
        << MimeMessage::Fields { u"A"_qs + high + u'B', u"taro@example.jp"_qs, low + u"x"_qs,
                                 u"x"_qs + high }
        << u"taro@example.jp"_qs << u"A"_qs + fffd + u'B' << fffd + u"x"_qs << u"x"_qs + fffd;
}

void TestMimeMessage::decodesExactly()
{
    QFETCH(MimeMessage::Fields, fields);
    QFETCH(QString, address);
    QFETCH(QString, name);
    QFETCH(QString, subject);
    QFETCH(QString, body);

    const QJsonObject seen = decode(MimeMessage::build(fields));
    QVERIFY(!seen.isEmpty());
    QCOMPARE(seen[u"mailboxes"].toArray(), (QJsonArray { QJsonArray { name, address } }));
    QCOMPARE(seen[u"subject"].toString(), subject);
    QCOMPARE(seen[u"body"].toString(), body);
    // Nothing smuggled in: exactly these headers, each once.
    QCOMPARE(seen[u"headers"].toArray(),
             (QJsonArray { u"content-transfer-encoding"_qs, u"content-type"_qs, u"date"_qs,
                           u"message-id"_qs, u"mime-version"_qs, u"subject"_qs, u"to"_qs }));
    QCOMPARE(seen[u"contentType"].toString(), u"text/plain;utf-8"_qs);
    QCOMPARE(seen[u"encoding"].toString(), u"base64"_qs);
    QCOMPARE(seen[u"mimeVersion"].toString(), u"1.0"_qs);
    QVERIFY(seen[u"dated"].toBool());
    QVERIFY(QRegularExpression(u"^<[^<>@\\s()]+@[^<>@\\s()]+>$"_qs)
                .match(seen[u"messageId"].toString())
                .hasMatch());
    QCOMPARE(seen[u"badWords"].toArray(), QJsonArray());
    QCOMPARE(seen[u"defects"].toArray(), QJsonArray());
    QVERIFY(!seen[u"cr"].toBool());
    QVERIFY(seen[u"longestLine"].toInt() <= 78);
}

void TestMimeMessage::refusesBadAddress()
{
    for (const QString &address :
         { u"taro@example.jp\r\nBcc: v@example.com"_qs, u"-oQ/tmp@example.jp"_qs, QString() }) {
        try {
            MimeMessage::build({ u"Taro"_qs, address, u"s"_qs, u"x"_qs });
            QFAIL(qPrintable(u"accepted "_qs + address));
        } catch (const Error &error) {
            QCOMPARE(error.number, MapiError::InvalidRecipients);
        }
    }
}

QTEST_GUILESS_MAIN(TestMimeMessage)
#include "tst_mimemessage.moc"
