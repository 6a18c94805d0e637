// A document sent from the real window through Debian's msmtp, as the sendmail program of a
// private configuration, to an SMTP sink on 127.0.0.1 started here; the received message is
// read back the way a recipient's mail program reads it.
#include "app/form1.h"
#include "fakes.h"
#include "platform/textbox.h"
#include "platform/unixmailhandler.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;

namespace {

// Accepts every recipient but nobody@..., and writes each message it receives, decoded, as
// message-N.json.
constexpr char Sink[] = R"PY(
import asyncio, json, os, sys
from email import message_from_bytes, policy
from email.header import decode_header, make_header
from email.utils import getaddresses
from aiosmtpd.smtp import SMTP
out = sys.argv[1]
class Handler:
    received = 0
    async def handle_RCPT(self, server, session, envelope, address, options):
        if address.startswith('nobody@'):
            return '550 5.1.1 <%s>: Recipient address rejected: User unknown' % address
        envelope.rcpt_tos.append(address)
        return '250 OK'
    async def handle_DATA(self, server, session, envelope):
        raw = envelope.original_content
        msg = message_from_bytes(raw, policy=policy.default)
        to = getaddresses([''.join(message_from_bytes(raw)['To'].splitlines())])
        self.received += 1
        path = os.path.join(out, 'message-%d.json' % self.received)
        with open(path + '.part', 'w') as f:
            json.dump({'recipients': envelope.rcpt_tos,
                       'to': [[str(make_header(decode_header(n))), a] for n, a in to],
                       'subject': msg['Subject'],
                       'body': msg.get_payload(decode=True).decode('utf-8'),
                       'charset': msg.get_content_charset()}, f)
        os.rename(path + '.part', path)
        return '250 OK'
async def main():
    handler = Handler()
    server = await asyncio.get_running_loop().create_server(
        lambda: SMTP(handler, hostname='localhost'), '127.0.0.1', 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    await asyncio.Event().wait()
asyncio.run(main())
)PY";

} // namespace

class TestMailEndToEnd final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void sendsThroughMsmtp();
    void rejectedRecipient();

private:
    QWidget *get(const QString &name) const { return m_form->findChild<QWidget *>(name); }
    void type(const QString &name, const QString &text)
    {
        QWidget *w = get(name);
        w->setFocus();
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(w, &commit);
    }
    void clickSend()
    {
        QTest::mouseClick(static_cast<QPushButton *>(get(u"Command9"_qs)), Qt::LeftButton);
    }

    QTemporaryDir m_dir;
    QProcess m_sink;
    std::unique_ptr<UnixMailHandler> m_mail;
    std::unique_ptr<FakeServices> m_fakes;
    std::unique_ptr<Form1> m_form;
};

void TestMailEndToEnd::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFile::exists(u"/usr/bin/msmtp"_qs), "Debian's msmtp is needed");
    m_sink.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_sink.start(u"/usr/bin/python3"_qs, { u"-c"_qs, QString::fromUtf8(Sink), m_dir.path() });
    QVERIFY(m_sink.waitForStarted());
    while (!m_sink.canReadLine())
        QVERIFY2(m_sink.waitForReadyRead(20000), "the SMTP sink did not start");
    const int port = m_sink.readLine().trimmed().toInt();
    QVERIFY(port > 0);

    // msmtp's own configuration, private to this test; the wrapper is what the handler finds.
    QFile rc(m_dir.filePath(u"msmtprc"_qs));
    QVERIFY(rc.open(QIODevice::WriteOnly));
    rc.write("account default\nhost 127.0.0.1\nport " + QByteArray::number(port)
             + "\nfrom zelvora-test@example.test\nauth off\ntls off\n");
    rc.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    rc.close();
    QFile wrapper(m_dir.filePath(u"sendmail"_qs));
    QVERIFY(wrapper.open(QIODevice::WriteOnly));
    wrapper.write("#!/bin/sh\nexec /usr/bin/msmtp -C '" + rc.fileName().toUtf8() + "' \"$@\"\n");
    wrapper.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestMailEndToEnd::init()
{
    UnixMailHandler::Options options = UnixMailHandler::defaultOptions();
    options.sendmailCandidates = { m_dir.filePath(u"sendmail"_qs) };
    options.timeLimit = 60s;
    m_mail = std::make_unique<UnixMailHandler>(options);
    m_fakes = std::make_unique<FakeServices>();
    Services services = m_fakes->services();
    services.mail = m_mail.get();
    m_form = std::make_unique<Form1>(services, nullptr);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestMailEndToEnd::cleanup()
{
    m_form.reset();
    m_fakes.reset();
    m_mail.reset();
}

void TestMailEndToEnd::cleanupTestCase()
{
    m_sink.kill();
    m_sink.waitForFinished();
}

void TestMailEndToEnd::sendsThroughMsmtp()
{
    type(u"Text8"_qs, u"山田 太郎"_qs);
    type(u"Text10"_qs, u"taro@example.test"_qs);
    get(u"Text"_qs)->setFocus();
    QTest::keyClick(get(u"Text"_qs), Qt::Key_End, Qt::ControlModifier);
    for (const QString &line : { u"."_qs, u".."_qs, u"From x"_qs, u"😀　ｶﾅ\u00A0末尾  "_qs }) {
        QTest::keyClick(get(u"Text"_qs), Qt::Key_Return);
        type(u"Text"_qs, line);
    }
    const QString document = ControlText::text(get(u"Text"_qs));
    QVERIFY(document.endsWith(u"\r\n.\r\n..\r\nFrom x\r\n😀　ｶﾅ\u00A0末尾  "_qs));

    clickSend();
    QCOMPARE(m_fakes->messageBox.shown.size(), 0);
    const QString path = m_dir.filePath(u"message-1.json"_qs);
    QTRY_VERIFY(QFile::exists(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject received = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(received[u"recipients"].toVariant().toStringList(),
             QStringList { u"taro@example.test"_qs });
    QCOMPARE(received[u"to"].toVariant().toList().value(0).toStringList(),
             (QStringList { u"山田 太郎"_qs, u"taro@example.test"_qs }));
    QCOMPARE(received[u"subject"].toString(), u"メルマガ配信"_qs);
    QCOMPARE(received[u"charset"].toString(), u"utf-8"_qs);
    QCOMPARE(received[u"body"].toString(), document);
    QCOMPARE(ControlText::text(get(u"Text"_qs)), document);
}

void TestMailEndToEnd::rejectedRecipient()
{
    type(u"Text8"_qs, u"誰か"_qs);
    type(u"Text10"_qs, u"nobody@example.test"_qs);
    const QString document = ControlText::text(get(u"Text"_qs));
    clickSend();

    QCOMPARE(m_fakes->messageBox.shown.size(), 1);
    const FakeMessageBox::Shown box = m_fakes->messageBox.shown.first();
    QCOMPARE(box.style, 48);
    QCOMPARE(box.title, u"Zelvora"_qs);
    // msmtp reports a refused recipient as a data error (65), with the server's words.
    QVERIFY2(box.prompt.startsWith(u"32002\r"_qs), qPrintable(box.prompt));
    QVERIFY2(box.prompt.contains(u"Recipient address rejected"_qs), qPrintable(box.prompt));
    QCOMPARE(ControlText::text(get(u"Text"_qs)), document);
    QCOMPARE(ControlText::text(get(u"Text10"_qs)), u"nobody@example.test"_qs);
}

QTEST_MAIN(TestMailEndToEnd)
#include "tst_mail_e2e.moc"
