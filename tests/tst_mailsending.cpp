// Sending the document: messages read back by Python's email package as a recipient's mail
// program reads them, stand-in transports, the main window against a recording mail handler, and
// the real window through Debian's msmtp to an SMTP sink on 127.0.0.1.
#include "documentsender.h"
#include "fakes.h"
#include "form1.h"
#include "mimemessage.h"
#include "textbox.h"
#include "unixmailhandler.h"

#include <QApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QJsonDocument>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <stdexcept>

using Fields = MimeMessage::Fields;

namespace {

// What a reader sees: name, address, subject, body. As handed to the transport, the message
// must also keep the rules; a relay adds headers and line ends of its own.
constexpr char Decoder[] = R"PY(
import base64, email, json, re, sys
from email import policy
from email.header import decode_header, make_header
from email.utils import getaddresses
raw = sys.stdin.buffer.read()
msg = email.message_from_bytes(raw, policy=policy.default)
if sys.argv[1:] != ['relayed']:
    form = [sorted(k.lower() for k in msg.keys()), msg.get_content_type(),
            msg.get_content_charset(), msg['Content-Transfer-Encoding'], msg['MIME-Version']]
    assert form == [['content-transfer-encoding', 'content-type', 'date', 'message-id',
                     'mime-version', 'subject', 'to'], 'text/plain', 'utf-8', 'base64', '1.0'], form
    assert b'\r' not in raw and max(map(len, raw.split(b'\n'))) <= 78 and msg['Date'].datetime
    for w in re.findall(r'=\?[^?\s]*\?[^?\s]*\?[^?\s]*\?=', raw.split(b'\n\n')[0].decode('ascii')):
        assert len(w) <= 75 and w[:10].lower() == '=?utf-8?b?', w
        base64.b64decode(w[10:-2], validate=True).decode('utf-8')
[(name, address)] = getaddresses([''.join(email.message_from_bytes(raw)['To'].splitlines())])
# decode_header drops the space between adjacent encoded words, as RFC 2047 says.
json.dump([str(make_header(decode_header(name))), address, msg['Subject'],
           msg.get_payload(decode=True).decode('utf-8')], sys.stdout)
)PY";

// Stores what it receives in the maildir given, with the envelope's recipients as X-RcptTo.
constexpr char Sink[] = R"PY(
import asyncio, sys
from aiosmtpd.handlers import Mailbox
from aiosmtpd.smtp import SMTP
async def main():
    server = await asyncio.get_running_loop().create_server(
        lambda: SMTP(Mailbox(sys.argv[1]), hostname='localhost'), '127.0.0.1', 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    await asyncio.Event().wait()
asyncio.run(main())
)PY";

// Every stand-in transport notes its arguments first.
const QByteArray Script = "#!/bin/sh\nD=$(dirname \"$0\")\nprintf '%s\\0' \"$@\" > \"$D/args\"\n";
const QString Name = u"山田 太郎"_qs;
const QString Address = u"taro@example.test"_qs;
const QString Body = u"今週の　お知らせ（＾0＾）\r\n.\r\n..\r\nFrom x\r\n😀　ｶﾅ\u00A0末尾  "_qs;
const QString Mag = u"メルマガ配信"_qs;

QStringList decode(const QByteArray &message, const QString &how = {})
{
    QProcess python;
    python.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    python.start(u"/usr/bin/python3"_qs, { u"-c"_qs, QString::fromUtf8(Decoder), how });
    python.write(message);
    python.closeWriteChannel();
    python.waitForFinished(60000);
    return QJsonDocument::fromJson(python.readAllStandardOutput()).toVariant().toStringList();
}

// Gone, or a zombie nobody reaps yet: either way it no longer runs.
bool isDead(const QByteArray &pid)
{
    QFile stat(u"/proc/%1/stat"_qs.arg(QString::fromLatin1(pid.trimmed())));
    return pid.isEmpty() || !stat.open(QIODevice::ReadOnly)
        || stat.readAll().split(')').last().startsWith(" Z");
}

QStringList sequence()
{
    return u"SignOn|SessionID|SetSessionID=7|Compose|RecipDisplayName=%1|RecipAddress=%2|"
           u"MsgSubject=メルマガ配信|MsgNoteText=%3|Send(False)|SignOff"_qs.arg(Name, Address, Body)
               .split(u'|');
}

} // namespace

class TestMailSending final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        UnixMailHandler::Options options = UnixMailHandler::defaultOptions();
        options.sendmailCandidates = { m_dir->filePath(u"none"_qs), m_dir->filePath(u"sendmail"_qs),
                                       u"zelvora-no-such-sendmail"_qs };
        options.xdgEmailCandidates = { m_dir->filePath(u"xdg-email"_qs) };
        options.timeLimit = std::chrono::seconds(2);
        m_mail = std::make_unique<UnixMailHandler>(options);
    }
    void cleanup() { m_form.reset(); }

    void messageReadsBackExactly_data()
    {
        QTest::addColumn<Fields>("given");
        QTest::addColumn<QStringList>("seen");
        const auto row = [](const char *tag, const QString &name, const QString &subject,
                            const QString &body) {
            QTest::newRow(tag) << Fields { name, Address, subject, body }
                               << QStringList { name, Address, subject, body };
        };
        row("dots, From, trailing spaces, 5000-character line, no final break", u"Taro  "_qs,
            u"件名  "_qs,
            u".\r\n..\r\nFrom x\r\n行末  \r\n \t\r\n"_qs + QString(2500, u'あ')
                + QString(2500, u'x'));
        row("look-alikes", u"A\u00A0B\u2028C\u3000Ｄ（＾0＾）"_qs, u"ＡＢＣ\u3000😀\u2028x"_qs,
            u"\u00A0\u2028\u3000（＾0＾）ｶﾀｶﾅ😀👨‍👩‍👧\r\n"_qs);
        row("long japanese name",
            u"寿限無寿限無五劫の擦り切れ海砂利水魚の水行末雲来末風来末食う寝る処に住む処やぶら"
            u"小路の藪柑子パイポパイポパイポのシューリンガン😀"_qs,
            QString(300, u's'), u"x"_qs);
        row("long ASCII name", QString(300, u'n'), QString(120, u'件') + u"😀"_qs, u"x"_qs);
        row("ASCII name with specials", u"Yamada, \"Taro\" \\ <boss@example.com>"_qs, Mag, u"x"_qs);
        row("injection", u"x\r\nBcc: v@example.com"_qs, u"s\r\nBcc: v@example.com"_qs, Mag);
        row("encoded-word look-alike", u"=?utf-8?q?x?="_qs, u"=?utf-8?q?x?="_qs, u"x"_qs);
        row("empty name and body", QString(), Mag, QString());
        const QChar high(0xD83D), low(0xDC00), fffd(QChar::ReplacementCharacter);
        QTest::newRow("lone surrogates")
            << Fields { u"A"_qs + high, Address, low + Mag, high }
            << QStringList { u"A"_qs + fffd, Address, fffd + Mag, fffd };
    }
    void messageReadsBackExactly()
    {
        QFETCH(Fields, given);
        QFETCH(QStringList, seen);
        QCOMPARE(decode(MimeMessage::build(given)), seen);
    }

    void transport_data()
    {
        using namespace MapiError;
        QTest::addColumn<QByteArray>("program"); // none when null
        QTest::addColumn<QString>("address");
        QTest::addColumn<qint32>("number");
        QTest::addColumn<QString>("said");
        const QByteArray reads = "cat > \"$D/message\"";
        const auto row = [&](const char *tag, const QByteArray &program, qint32 number,
                             const QString &said, const QString &address = Address) {
            QTest::newRow(tag) << program << address << number << said;
        };
        // The address is checked before anything starts; the user is shown what was typed.
        const auto bad = [&](const char *tag, const QString &address, QString said = {}) {
            row(tag, reads, InvalidRecipients, said.isNull() ? address : said, address);
        };
        const QString longest = QString(64, u'a') + u'@' + QString(254 - 68, u'b') + u".jp"_qs;
        row("254 characters", reads, 0, {}, longest);
        bad("255 characters", u'x' + longest);
        bad("empty", QString(), u"入力されていません"_qs);
        bad("no at", u"taro＠example.jp"_qs);
        bad("two ats", u"a@b@example.jp"_qs);
        bad("empty local part", u"@example.jp"_qs);
        bad("empty domain", u"taro@"_qs);
        bad("space", u"taro yamada@example.jp"_qs);
        bad("injection", u"a@example.jp\r\nBcc: v@example.com"_qs, u"a@example.jp␍␊Bcc: v@"_qs);
        bad("tab", u"\ta@example.jp"_qs, u"␉a@example.jp"_qs);
        bad("option", u"-oQ/tmp/x@example.jp"_qs);
        bad("second recipient", u"root,a@example.jp"_qs);
        // The failing ones do not read the whole message: writing it must not hang on that.
        row("exit 75", "echo 'cannot connect' >&2; exit 75", Failure, u"cannot connect"_qs);
        row("exit 67", "read x; echo 'no user' >&2; exit 67", UnknownRecipient, u"no user"_qs);
        row("exit 68", "echo 'no host' >&2; exit 68", UnknownRecipient, u"no host"_qs);
        row("crash", "kill -SEGV $$", Failure, u"異常終了"_qs);
        // With a child of its own: both must go when the time is up.
        row("hangs", R"(sleep 60 & echo $! >"$D/child"; echo $$ >"$D/pid"; wait)", Failure,
            u"2 秒"_qs);
        row("missing", QByteArray(), LoginFailure, u"msmtp-mta"_qs);
        // Fills both output pipes before it reads a byte, and again after.
        const QByteArray noise
            = "head -c 999999 /dev/zero | tr '\\0' e >&2; head -c 999999 /dev/zero";
        row("chatty", noise + ';' + reads + ';' + noise, 0, {});
    }
    void transport()
    {
        QFETCH(QByteArray, program);
        QFETCH(QString, address);
        QFETCH(qint32, number);
        QFETCH(QString, said);
        if (!program.isNull())
            write(u"sendmail"_qs, Script + program);
        // The main window's sending procedure, sign-on and sign-off included.
        const QString body(1 << 20, u'本');
        const auto session = m_mail->createSession();
        const auto messages = m_mail->createMessages();
        std::optional<Error> failure;
        try {
            DocumentSender::send(*session, *messages, { Name, address, body },
                                 [&](const Error &error) { failure = error; });
        } catch (const Error &error) {
            failure = error;
        }
        QCOMPARE(failure ? failure->number : 0, number);
        if (failure)
            QVERIFY2(failure->description.contains(said), qPrintable(failure->description));
        else
            QVERIFY(file(u"message"_qs).size() > body.toUtf8().size() * 4 / 3);
        const bool started = number != MapiError::InvalidRecipients && !program.isNull();
        QCOMPARE(file(u"args"_qs),
                 started ? QByteArray("-oi\0--\0", 7) + address.toUtf8() + '\0' : QByteArray());
        QVERIFY(isDead(file(u"pid"_qs)));
        QTRY_VERIFY(isDead(file(u"child"_qs)));
    }

    void mailClientWithoutTransport()
    {
        // With a mail client but no transport, sign-on succeeds: only sending directly fails,
        // trapped like any other failure, and the compose window still opens.
        write(u"xdg-email"_qs, Script);
        const auto session = m_mail->createSession();
        const auto messages = m_mail->createMessages();
        std::optional<Error> warned;
        DocumentSender::send(*session, *messages, { Name, Address, Body },
                             [&](const Error &error) { warned = error; });
        QCOMPARE(warned ? warned->number : 0, MapiError::LoginFailure);
        session->signOn();
        messages->setSessionId(session->sessionId());
        messages->compose();
        messages->setRecipAddress(Address);
        messages->send(true);
        QCOMPARE(file(u"args"_qs), QByteArray("--utf8\0", 7) + Address.toUtf8() + '\0');
        session->signOff();
        session->signOff(); // closing what is already closed is no second failure
    }

    void windowAfterAnError_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<int>("style");
        // Errors of the steps between sign-on and sign-off are trapped: one warning, then
        // sign-off. Those of sign-on and sign-off reach the top-level handling.
        const QStringList all = sequence();
        for (qsizetype i = 1; i + 1 < all.size(); ++i) {
            const QString operation = all[i].section(u'=', 0, 0);
            QTest::newRow(qPrintable(operation))
                << operation << all.mid(0, i + 1) + QStringList { u"SignOff"_qs } << 48;
        }
        QTest::newRow("SignOn") << u"SignOn"_qs << QStringList { u"SignOn"_qs } << 16;
        QTest::newRow("SignOff") << u"SignOff"_qs << all << 16;
        QTest::newRow("Send, not a mail error") << u"Send(False)"_qs << all << -48;
    }
    void windowAfterAnError()
    {
        QFETCH(QString, operation);
        QFETCH(QStringList, log);
        QFETCH(int, style);
        QVERIFY(openForm());
        const bool other = style < 0; // anything else thrown is trapped the same way
        style = qAbs(style);
        m_fakes->mail.failures.insert(
            operation,
            other ? std::make_exception_ptr(std::runtime_error("不明。\n詳細"))
                  : std::make_exception_ptr(
                      Error { MapiError::UnknownRecipient, u"不明。\n詳細"_qs }));
        m_fakes->mail.failOnce = true;
        click(u"Command9"_qs);
        QCOMPARE(m_fakes->mail.log, log);
        QCOMPARE(m_fakes->messageBox.shown.size(), 1);
        QVERIFY(!QGuiApplication::overrideCursor()); // nothing says a send still runs
        const FakeMessageBox::Shown box = m_fakes->messageBox.shown.first();
        const QString prompt = (other ? u"51"_qs : u"32014"_qs) + u"\r不明。\n詳細"_qs;
        QCOMPARE(style == 48 ? box.prompt : box.prompt.right(prompt.size()), prompt);
        QCOMPARE(box.style, style);
        QCOMPARE(box.title, u"Zelvora"_qs);
        // Everything the sender wrote is kept: the next click sends it, without a box.
        m_fakes->mail.log.clear();
        click(u"Command9"_qs);
        QCOMPARE(m_fakes->mail.log, sequence());
        QCOMPARE(m_fakes->messageBox.shown.size(), 1);
    }

    void sendsThroughMsmtpToALocalSink()
    {
        QVERIFY2(QFile::exists(u"/usr/bin/msmtp"_qs), "Debian's msmtp is needed");
        QProcess sink;
        sink.start(u"/usr/bin/python3"_qs,
                   { u"-c"_qs, QString::fromUtf8(Sink), m_dir->filePath(u"inbox"_qs) });
        while (!sink.canReadLine())
            QVERIFY2(sink.waitForReadyRead(20000), sink.readAllStandardError().constData());
        // msmtp with a configuration of its own, as the transport the handler finds.
        write(u"msmtprc"_qs,
              "account default\nhost 127.0.0.1\nport " + sink.readLine()
                  + "from zelvora-test@example.test\nauth off\ntls off\n");
        write(u"sendmail"_qs, Script + R"(exec /usr/bin/msmtp -C "$D/msmtprc" "$@")");
        QVERIFY(openForm(m_mail.get()));
        click(u"Command9"_qs);
        QCOMPARE(m_fakes->messageBox.shown.size(), 0);
        const QDir inbox(m_dir->filePath(u"inbox/new"_qs));
        QTRY_COMPARE(inbox.entryList(QDir::Files).size(), 1);
        const QByteArray raw = file(u"inbox/new/"_qs + inbox.entryList(QDir::Files).first());
        QVERIFY(raw.contains("\nX-RcptTo: " + Address.toUtf8() + '\n'));
        QCOMPARE(decode(raw, u"relayed"_qs), (QStringList { Name, Address, Mag, Body }));
        sink.kill();
        sink.waitForFinished();
    }

private:
    void write(const QString &name, const QByteArray &content)
    {
        QFile f(m_dir->filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    QByteArray file(const QString &name) const
    {
        QFile f(m_dir->filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The main window with every fake but the mail handler given, filled in by a sender.
    bool openForm(MailHandler *mail = nullptr)
    {
        m_form.reset();
        m_fakes = std::make_unique<FakeServices>();
        Services services = m_fakes->services();
        services.mail = mail ? mail : services.mail;
        m_form = std::make_unique<Form1>(services, nullptr);
        m_form->show();
        if (!QTest::qWaitForWindowExposed(m_form.get()))
            return false;
        type(u"Text8"_qs, Name);
        type(u"Text10"_qs, Address);
        click(u"Command4"_qs); // "作成文書の消去", then the document is written by hand
        type(u"Text"_qs, QString(Body).replace(u"\r\n"_qs, u"\n"_qs));
        return true;
    }
    // Typed the way a Japanese input method delivers text: one committed string.
    void type(const QString &name, const QString &text)
    {
        QWidget *w = m_form->findChild<QWidget *>(name);
        w->setFocus();
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(w, &commit);
    }
    void click(const QString &name)
    {
        QTest::mouseClick(m_form->findChild<QPushButton *>(name), Qt::LeftButton);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<UnixMailHandler> m_mail;
    std::unique_ptr<FakeServices> m_fakes;
    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(TestMailSending)
#include "tst_mailsending.moc"
