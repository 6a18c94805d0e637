// The Unix mail handler against stand-in transports and mail clients: what it starts and with
// which arguments, what reaches the user when a transport fails, hangs or is missing, and that
// a bad address starts nothing at all.
#include "platform/mimemessage.h"
#include "platform/unixmailhandler.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>

using namespace std::chrono_literals;

namespace {

MimeMessage::Fields fields(const QString &address = u"taro@example.jp"_qs,
                           const QString &body = u"本文\r\n二行目"_qs)
{
    return { u"山田 太郎"_qs, address, u"メルマガ配信"_qs, body };
}

// The sending sequence of the main window: sign on, fill in, send, sign off.
std::optional<Error> sendOnce(UnixMailHandler &handler, const MimeMessage::Fields &message,
                              bool withDialog = false)
{
    auto session = handler.createSession();
    auto messages = handler.createMessages();
    session->signOn();
    std::optional<Error> failure;
    try {
        messages->setSessionId(session->sessionId());
        messages->compose();
        messages->setRecipDisplayName(message.recipientName);
        messages->setRecipAddress(message.recipientAddress);
        messages->setMsgSubject(message.subject);
        messages->setMsgNoteText(message.body);
        messages->send(withDialog);
    } catch (const Error &error) {
        failure = error;
    }
    session->signOff();
    return failure;
}

// Gone, or a zombie nobody reaps yet: either way it no longer runs.
bool isDead(const QByteArray &pid)
{
    QFile stat(u"/proc/%1/stat"_qs.arg(QString::fromLatin1(pid.trimmed())));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) == "Z";
}

} // namespace

class TestUnixMailHandler final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void sendsThroughFirstTransportFound();
    void transportFailures_data();
    void transportFailures();
    void hangingTransportIsKilled();
    void missingTransport();
    void badAddressStartsNothing_data();
    void badAddressStartsNothing();
    void chattyTransportWithLargeBody();
    void sessions();
    void composeWindow_data();
    void composeWindow();
    void composeWindowFailures();

private:
    QString script(const QString &name, const QByteArray &body);
    QByteArray file(const QString &name) const;
    UnixMailHandler::Options options(const QStringList &sendmail,
                                     std::chrono::milliseconds limit = 60s) const;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestUnixMailHandler::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString TestUnixMailHandler::script(const QString &name, const QByteArray &body)
{
    const QString path = m_dir->filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write("#!/bin/sh\nD='" + m_dir->path().toUtf8() + "'\n" + body + '\n');
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QByteArray TestUnixMailHandler::file(const QString &name) const
{
    QFile f(m_dir->filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

UnixMailHandler::Options TestUnixMailHandler::options(const QStringList &sendmail,
                                                      std::chrono::milliseconds limit) const
{
    UnixMailHandler::Options o = UnixMailHandler::defaultOptions();
    o.sendmailCandidates = sendmail;
    o.xdgEmailCandidates = { m_dir->filePath(u"xdg-email"_qs) };
    o.timeLimit = limit;
    o.clientHandOff = 300ms;
    return o;
}

void TestUnixMailHandler::sendsThroughFirstTransportFound()
{
    const QString first
        = script(u"first"_qs, R"(printf '%s\0' "$@" > "$D/args"; cat > "$D/message")");
    const QString second = script(u"second"_qs, R"(touch "$D/second-ran")");
    UnixMailHandler handler(options({ m_dir->filePath(u"none"_qs), first, second }));

    const auto failure = sendOnce(handler, fields());
    QVERIFY2(!failure, qPrintable(failure ? failure->description : QString()));
    QCOMPARE(file(u"args"_qs), QByteArray("-oi\0--\0taro@example.jp\0", 23));
    const QByteArray message = file(u"message"_qs);
    QVERIFY(message.startsWith("To: "));
    QVERIFY(message.contains("\nContent-Transfer-Encoding: base64\n"));
    QVERIFY(!message.contains('\r'));
    QVERIFY(!QFile::exists(m_dir->filePath(u"second-ran"_qs)));
}

void TestUnixMailHandler::transportFailures_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<qint32>("number");
    QTest::addColumn<QString>("said");
    // None of them reads the whole message first: a 1 MiB body must not hang on that.
    QTest::newRow("temporary failure, nothing read")
        << QByteArray("echo 'msmtp: cannot connect to smtp.example.jp' >&2; exit 75")
        << qint32(MapiError::Failure) << u"cannot connect to smtp.example.jp"_qs;
    QTest::newRow("no such user") << QByteArray(
        "head -c 10 >/dev/null; echo 'taro... User unknown' >&2; exit 67")
                                  << qint32(MapiError::UnknownRecipient)
                                  << u"taro... User unknown"_qs;
    QTest::newRow("no such host") << QByteArray("echo 'Host unknown' >&2; exit 68")
                                  << qint32(MapiError::UnknownRecipient) << u"Host unknown"_qs;
    QTest::newRow("said on stdout")
        << QByteArray("echo 'account default not found'; exit 78") << qint32(MapiError::Failure)
        << u"account default not found"_qs;
    QTest::newRow("crash") << QByteArray("kill -SEGV $$") << qint32(MapiError::Failure)
                           << u"異常終了"_qs;
}

void TestUnixMailHandler::transportFailures()
{
    QFETCH(QByteArray, body);
    QFETCH(qint32, number);
    QFETCH(QString, said);
    UnixMailHandler handler(options({ script(u"sendmail"_qs, body) }));
    const auto failure = sendOnce(handler, fields(u"taro@example.jp"_qs, QString(1 << 20, u'x')));
    QVERIFY(failure);
    QCOMPARE(failure->number, number);
    QVERIFY2(failure->description.contains(said), qPrintable(failure->description));
}

void TestUnixMailHandler::hangingTransportIsKilled()
{
    // Reads nothing and leaves a child behind: both must go when the time is up.
    UnixMailHandler handler(options(
        { script(u"sendmail"_qs, R"(sleep 60 & echo $! > "$D/child"; echo $$ > "$D/pid"; wait)") },
        300ms));
    const auto failure = sendOnce(handler, fields(u"taro@example.jp"_qs, QString(1 << 20, u'x')));
    QVERIFY(failure);
    QCOMPARE(failure->number, MapiError::Failure);
    QVERIFY2(failure->description.contains(u"0.3 秒"_qs), qPrintable(failure->description));
    QVERIFY(isDead(file(u"pid"_qs)));
    QTRY_VERIFY(isDead(file(u"child"_qs)));
}

void TestUnixMailHandler::missingTransport()
{
    UnixMailHandler handler(
        options({ m_dir->filePath(u"sendmail"_qs), u"zelvora-no-such-sendmail"_qs }));
    auto session = handler.createSession();
    try {
        session->signOn();
        QFAIL("signed on without a transport");
    } catch (const Error &error) {
        QCOMPARE(error.number, MapiError::LoginFailure);
        QVERIFY(error.description.contains(u"msmtp-mta"_qs));
    }
}

void TestUnixMailHandler::badAddressStartsNothing_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("withDialog");
    for (bool dialog : { false, true }) {
        const char *how = dialog ? "client: " : "transport: ";
        QTest::addRow("%sempty", how) << QString() << dialog;
        QTest::addRow("%soption", how) << u"-oQ/tmp/x@example.jp"_qs << dialog;
        QTest::addRow("%sinjection", how) << u"a@example.jp\r\nBcc: c@example.com"_qs << dialog;
        QTest::addRow("%sfullwidth at", how) << u"taro＠example.jp"_qs << dialog;
    }
}

void TestUnixMailHandler::badAddressStartsNothing()
{
    QFETCH(QString, address);
    QFETCH(bool, withDialog);
    script(u"xdg-email"_qs, R"(touch "$D/started")");
    UnixMailHandler handler(options({ script(u"sendmail"_qs, R"(touch "$D/started")") }));
    const auto failure = sendOnce(handler, fields(address), withDialog);
    QVERIFY(failure);
    QCOMPARE(failure->number, MapiError::InvalidRecipients);
    QVERIFY(!QFile::exists(m_dir->filePath(u"started"_qs)));
}

void TestUnixMailHandler::chattyTransportWithLargeBody()
{
    // Fills both output pipes before it reads a byte, and again after.
    const QByteArray noise
        = "head -c 1000000 /dev/zero | tr '\\0' e >&2; head -c 1000000 /dev/zero";
    UnixMailHandler handler(
        options({ script(u"sendmail"_qs, noise + "; cat > \"$D/message\"; " + noise) }));
    const QString body = QString(3 << 20, u'本');
    const auto failure = sendOnce(handler, fields(u"taro@example.jp"_qs, body));
    QVERIFY2(!failure, qPrintable(failure ? failure->description : QString()));
    QVERIFY(file(u"message"_qs).size() > body.toUtf8().size() * 4 / 3);
}

void TestUnixMailHandler::sessions()
{
    UnixMailHandler handler(options({ script(u"sendmail"_qs, "cat >/dev/null") }));
    auto first = handler.createSession();
    auto second = handler.createSession();
    auto messages = handler.createMessages();
    const auto fails = [](const char *what, qint32 number, auto &&operation) {
        try {
            operation();
        } catch (const Error &error) {
            if (error.number != number)
                qWarning() << what << error.number << error.description;
            return error.number == number;
        }
        qWarning() << what << "did not fail";
        return false;
    };
    QVERIFY(
        fails("SessionID before SignOn", MapiError::NoValidSession, [&] { first->sessionId(); }));
    QVERIFY(fails("Compose without a session", MapiError::NoValidSession,
                  [&] { messages->compose(); }));
    first->signOn();
    second->signOn();
    QVERIFY(first->sessionId() > 0);
    QVERIFY(second->sessionId() > 0);
    QVERIFY(first->sessionId() != second->sessionId());

    const qint32 id = first->sessionId();
    messages->setSessionId(id);
    messages->compose();
    first->signOff();
    QVERIFY(
        fails("Compose after SignOff", MapiError::NoValidSession, [&] { messages->compose(); }));
    QVERIFY(fails("Send after SignOff", MapiError::NoValidSession, [&] { messages->send(false); }));
    QVERIFY(fails("SignOff twice", MapiError::NoValidSession, [&] { first->signOff(); }));
    messages->setSessionId(std::numeric_limits<qint32>::max());
    QVERIFY(fails("unknown session", MapiError::InvalidSession, [&] { messages->compose(); }));
    messages->setSessionId(second->sessionId());
    messages->compose();
}

void TestUnixMailHandler::composeWindow_data()
{
    QTest::addColumn<MimeMessage::Fields>("message");
    QTest::addColumn<QByteArrayList>("arguments");
    QTest::newRow("everything set")
        << fields() << QByteArrayList { "--utf8", "--subject",      "メルマガ配信",
                                        "--body", "本文\r\n二行目", "山田 太郎 <taro@example.jp>" };
    QTest::newRow("no subject, no text, a name to quote")
        << MimeMessage::Fields { u"Yamada, Taro"_qs, u"taro@example.jp"_qs, {}, {} }
        << QByteArrayList { "--utf8", "\"Yamada, Taro\" <taro@example.jp>" };
}

void TestUnixMailHandler::composeWindow()
{
    QFETCH(MimeMessage::Fields, message);
    QFETCH(QByteArrayList, arguments);
    script(u"xdg-email"_qs, R"(printf '%s\0' "$@" > "$D/args")");
    UnixMailHandler handler(options({ script(u"sendmail"_qs, R"(touch "$D/sendmail-ran")") }));
    const auto failure = sendOnce(handler, message, true);
    QVERIFY2(!failure, qPrintable(failure ? failure->description : QString()));
    QByteArray args = file(u"args"_qs);
    args.chop(1);
    QCOMPARE(args.split('\0'), arguments);
    QVERIFY(!QFile::exists(m_dir->filePath(u"sendmail-ran"_qs)));
}

void TestUnixMailHandler::composeWindowFailures()
{
    UnixMailHandler handler(options({ script(u"sendmail"_qs, "exit 0") }));
    auto failure = sendOnce(handler, fields(), true);
    QVERIFY(failure);
    QVERIFY2(failure->description.contains(u"xdg-email"_qs), qPrintable(failure->description));

    script(u"xdg-email"_qs,
           "echo 'xdg-email: no method available for opening mailto:' >&2; exit 3");
    failure = sendOnce(handler, fields(), true);
    QVERIFY(failure);
    QCOMPARE(failure->number, MapiError::Failure);
    QVERIFY2(failure->description.contains(u"no method available"_qs),
             qPrintable(failure->description));

    // A client kept in the foreground is left running with the user's draft.
    script(u"xdg-email"_qs, R"(echo $$ > "$D/pid"; exec sleep 30)");
    failure = sendOnce(handler, fields(), true);
    QVERIFY(!failure);
    const QByteArray pid = file(u"pid"_qs);
    QVERIFY(!isDead(pid));
    ::kill(pid.trimmed().toInt(), SIGKILL);
}

QTEST_GUILESS_MAIN(TestUnixMailHandler)
#include "tst_unixmailhandler.moc"
