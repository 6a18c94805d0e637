// Sending: messages read back, the send buttons with stand-in transports, msmtp to a local sink.
#include "fakes.h"
#include "form1.h"
#include "form3.h"
#include "handoffwindow.h"
#include "mimemessage.h"
#include "roles.h"
#include "textbox.h"
#include "unixmailhandler.h"
#include "windowtest.h"

#include <QApplication>
#include <QDir>
#include <QJsonDocument>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

using Fields = MimeMessage::Fields;

namespace {

// Every stand-in program notes its arguments first.
const QByteArray Script = "#!/bin/sh\nD=$(dirname \"$0\")\nprintf '%s\\0' \"$@\" > \"$D/args\"\n";
const QString Name = u"山田 太郎"_s;
const QString Address = u"taro@example.test"_s;
const QString Body = u"今週の　お知らせ（＾0＾）\r\n.\r\n..\r\nFrom x\r\n😀　ｶﾅ\u00A0末尾  "_s;
const QString Mag = u"メルマガ配信"_s;

QStringList decode(const QByteArray &message, const QString &how = {})
{
    QProcess python;
    python.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    python.start(u"/usr/bin/python3"_s, { u"" ZELVORA_TESTS_DIR "/readback.py"_s, how });
    python.write(message);
    python.closeWriteChannel();
    python.waitForFinished(60000);
    return QJsonDocument::fromJson(python.readAllStandardOutput()).toVariant().toStringList();
}

QWidget *handOffWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == u"HandOffWindow"_s && w->isVisible())
            return w;
    return nullptr;
}

} // namespace

class TestMailSending final : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeClock m_clock;
    std::unique_ptr<HandOffWindow> m_monitor;
    FakeSentCopies m_copies;
    std::unique_ptr<UnixMailHandler> m_mail;
    std::unique_ptr<FakeServices> m_fakes;
    std::unique_ptr<QWidget> m_form;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_monitor = std::make_unique<HandOffWindow>(m_clock);
        m_copies.kept.clear();
        useMail(std::chrono::seconds(3));
    }
    void cleanup() { m_form.reset(); }

    void messageReadsBackExactly_data()
    {
        columns<Fields, QStringList>({ "given", "seen" });
        const auto row = [](const char *tag, const QString &name, const QString &shown,
                            const QString &subject = Mag, const QString &body = u"x"_s) {
            QTest::newRow(tag) << Fields { name, Address, subject, body }
                               << QStringList { shown, Address, subject, body };
        };
        row("dots, From, spaces at the end, 5000-character line", u"Taro  "_s, u"Taro"_s,
            u"件名  "_s,
            u".\r\n..\r\nFrom x\r\n行末  \r\n \t\r\n"_s + QString(2500, u'あ')
                + QString(2500, u'x'));
        row("look-alikes", u"A\u00A0B\u2028C\u3000Ｄ（＾0＾）"_s, u"A\u00A0B C\u3000Ｄ（＾0＾）"_s,
            u"ＡＢＣ\u3000😀\u2028x"_s,
            u"\u00A0\u2028\u3000（＾0＾）ｶﾀｶﾅ😀👨‍👩‍👧\r\n"_s);
        row("empty name and body", QString(), QString(), Mag, QString());
        const QString lookalike = u"=?utf-8?q?ceo=40bank.example?=@evil.example"_s;
        QTest::newRow("encoded-word look-alike address")
            << Fields { u"x"_s, lookalike, Mag, u"x"_s }
            << QStringList { u"x"_s, lookalike, Mag, u"x"_s };
        const QChar high(0xD83D), low(0xDC00), fffd(QChar::ReplacementCharacter);
        QTest::newRow("lone surrogates")
            << Fields { u"A"_s + high, Address, low + Mag, high }
            << QStringList { u"A"_s + fffd, Address, fffd + Mag, fffd };
        QTest::newRow("the author's address as the sender")
            << Fields { Name, Address, Mag, u"x"_s, u"発行人\u3000ゼルボラ"_s, u"me@example.jp"_s }
            << QStringList { Name, Address, Mag, u"x"_s,
                             u"発行人\u3000ゼルボラ <me@example.jp>"_s };
    }
    // Python's email package reads back the name, address, subject and body given.
    void messageReadsBackExactly()
    {
        QFETCH(Fields, given);
        QTEST(decode(MimeMessage::build(given)), "seen");
    }

    void sendButton_data()
    {
        using namespace MapiError;
        columns<QByteArray, qint32, QString>({ "program", "number", "said" });
        const auto row
            = [&](const char *tag, const QByteArray &program, qint32 number, const QString &said) {
                  QTest::newRow(tag) << program << number << said;
              };
        // The failing ones do not read the whole message: they must not hang on that.
        row("exit 75", "echo 'cannot connect' >&2; exit 75", Failure, u"cannot connect"_s);
        row("exit 67", "read x; exit 67", UnknownRecipient, u"宛先 taro@example.test には"_s);
        row("reads 100 bytes, says sent", "head -c 100 >/dev/null; exit 0", Failure,
            u"最後まで受け取らずに"_s);
        row("crash", "kill -SEGV $$", Failure, u"異常終了"_s);
        row("hangs", "sleep 60", Failure, u"3 秒"_s);
        // Whether or not a mail client is there: the same warning box.
        row("missing", QByteArray(), LoginFailure, u"README の「メールの設定」を参照"_s);
    }
    // Command9 with a failing transport: one warning box, and the window takes input again.
    void sendButton()
    {
        QFETCH(QByteArray, program);
        QFETCH(qint32, number);
        QFETCH(QString, said);
        if (!program.isNull())
            write(u"sendmail"_s, Script + program);
        const QString body = QString(1 << 16, u'本');
        QVERIFY(openForm(body));
        click(Role::Send);
        const QList<FakeMessageBox::Shown> &shown = m_fakes->messageBox.shown;
        QCOMPARE(shown.size(), 1); // the warning box, whatever failed
        QVERIFY2(shown[0].style == 48 && shown[0].prompt.startsWith(u"%1\r"_s.arg(number))
                     && shown[0].prompt.contains(said),
                 qPrintable(shown[0].prompt));
        QCOMPARE(file(u"args"_s),
                 program.isNull() ? QByteArray()
                                  : QByteArray("-oi\0--\0", 7) + Address.toUtf8() + '\0');
        QVERIFY(!handOffWindow() && !QGuiApplication::overrideCursor());
        QCOMPARE(ControlText::text(get(Role::Document)), body);
        QVERIFY(m_copies.kept.isEmpty());
        if (program.isNull()) { // signed off after the failure: the next send finds a new one
            write(u"sendmail"_s, Script + "cat > \"$D/message\"");
            click(Role::Send);
            QVERIFY(shown.size() == 1 && file(u"message"_s).size() > body.toUtf8().size() * 4 / 3);
            QCOMPARE(m_copies.kept, QList { file(u"message"_s) });
        }
    }

    void slowTransport_data()
    {
        // cancel: how; -1: the transport is let finish
        columns<int, QByteArray, QString>({ "cancel", "transport", "said" });
        const QByteArray readsLast = "sleep 3; cat >/dev/null",
                         readsFirst = "cat >/dev/null; sleep 3";
        const QString notSent = u"送られていない可能性"_s;
        QTest::newRow("let finish") << -1 << readsLast << QString();
        QTest::newRow("キャンセル") << 0 << readsLast << notSent;
        QTest::newRow("Escape") << 1 << readsLast << notSent;
        QTest::newRow("close box") << 2 << readsLast << notSent;
        QTest::newRow("キャンセル after the whole message was read")
            << 0 << readsFirst << u"既に送られている可能性"_s;
    }
    // The progress window counts seconds and refuses input meanwhile; cancelling stops the send.
    void slowTransport()
    {
        QFETCH(int, cancel);
        QFETCH(QByteArray, transport);
        QFETCH(QString, said);
        useMail(); // a server that takes 3 s is waited for
        m_clock.readings = { 100, 103.7 }; // at the start, then at each tick
        write(u"sendmail"_s, Script + transport + "; echo sent >>\"$D/count\"");
        QVERIFY(openForm(Body));
        QTimer::singleShot(100, this, [&] {
            click(Role::Send);
            QTest::keyClick(get(Role::Send), Qt::Key_Space);
            click(Role::ClearAll); // "全てクリアー"
        });
        QString seen;
        QTimer poll; // acts once the progress window shows, while the hand-off goes on
        connect(&poll, &QTimer::timeout, this, [&] {
            QWidget *w = handOffWindow();
            if (!w || !seen.isEmpty())
                return;
            auto button = w->findChild<QPushButton *>(u"CancelButton"_s);
            seen = w->windowTitle() + u'|' + button->text() + u'|'
                + w->findChild<QLabel *>(u"Message"_s)->text();
            if (cancel == 0)
                QTest::mouseClick(button, Qt::LeftButton);
            else if (cancel == 1)
                QTest::keyClick(w, Qt::Key_Escape);
            else if (cancel == 2)
                w->close();
        });
        poll.start(20);
        click(Role::Send);
        QCOMPARE(seen, u"Zelvora|キャンセル|メールを送信しています…\n経過時間: 3 秒"_s);
        QCOMPARE(file(u"count"_s), cancel < 0 ? QByteArray("sent\n") : QByteArray());
        QCOMPARE(m_fakes->messageBox.shown.size(), cancel < 0 ? 0 : 1);
        const QString prompt = m_fakes->messageBox.shown.value(0).prompt;
        QVERIFY2(cancel < 0 || (prompt.startsWith(u"32001\r"_s) && prompt.contains(said)),
                 qPrintable(prompt));
        // What the transport read to the end is kept: stopped afterwards, it may have gone out.
        const bool readAll = cancel < 0 || transport.startsWith("cat");
        QCOMPARE(m_copies.kept.size(), readAll ? 1 : 0);
        if (readAll)
            QCOMPARE(m_copies.record.last().first.confirmed, cancel < 0);
        QVERIFY(!handOffWindow());
        QCOMPARE(ControlText::text(get(Role::Document)), Body);
        click(Role::ClearAll); // input is taken again
        QCOMPARE(ControlText::text(get(Role::Document)), QString());
    }

    // Cancelled while a large message is still being built: the transport never starts.
    void cancelWhileBuilding()
    {
        write(u"sendmail"_s, Script + "cat >/dev/null");
        QVERIFY(openForm(QString(4 << 20, u'本')));
        QTimer::singleShot(0, this, [&] { m_monitor->stop([] {}); });
        click(Role::Send);
        QCOMPARE(file(u"args"_s), QByteArray());
        QCOMPARE(m_fakes->messageBox.shown.size(), 1);
        QVERIFY(m_fakes->messageBox.shown[0].prompt.startsWith(u"32001\r"_s));
        QVERIFY(m_copies.kept.isEmpty() && !handOffWindow());
    }

    void supportMail_data()
    {
        QTest::addColumn<bool>("client"); // an xdg-email to open the mail client with
        QTest::newRow("mail client") << true;
        QTest::newRow("nothing to send with") << false;
    }
    // The support mail goes through the mail client, a second click refused; else one warning.
    void supportMail()
    {
        QFETCH(bool, client);
        if (client)
            write(u"xdg-email"_s, Script + "sleep 1; echo run >>\"$D/count\"");
        m_form = std::make_unique<Form3>(services(), nullptr);
        m_form->show();
        QTimer::singleShot(100, m_form.get(), [&] { click("Command2"); });
        click("Command2");
        QCOMPARE(file(u"count"_s), client ? QByteArray("run\n") : QByteArray());
        const QString args
            = u"--utf8\0\"TavrinSoftサポート(Zelvora Ver1.0)\" <support@tavrinsoft.example>\0"_s;
        QCOMPARE(file(u"args"_s), client ? args.toUtf8() : QByteArray());
        QCOMPARE(m_fakes->messageBox.shown.size(), client ? 0 : 1);
        const auto warned = m_fakes->messageBox.shown.value(0);
        QVERIFY(client
                || (warned.prompt.startsWith(u"32002\rメールソフト"_s) && warned.style == 48));
        QVERIFY(m_form->isVisible());
    }

    void sendsThroughMsmtpToALocalSink()
    {
        QVERIFY2(QFile::exists(u"/usr/bin/msmtp"_s), "Debian's msmtp is needed");
        QProcess sink;
        sink.start(u"/usr/bin/python3"_s,
                   { u"" ZELVORA_TESTS_DIR "/smtpsink.py"_s, m_dir->filePath(u"inbox"_s) });
        while (!sink.canReadLine())
            QVERIFY2(sink.waitForReadyRead(20000), sink.readAllStandardError().constData());
        write(u"msmtprc"_s,
              "account default\nhost 127.0.0.1\nport " + sink.readLine()
                  + "from zelvora-test@example.test\nauth off\ntls off\n");
        write(u"sendmail"_s, Script + R"(exec /usr/bin/msmtp -C "$D/msmtprc" "$@")");
        QVERIFY(openForm(Body));
        click(Role::Send);
        QCOMPARE(m_fakes->messageBox.shown.size(), 0);
        const QDir inbox(m_dir->filePath(u"inbox/new"_s));
        QTRY_COMPARE(inbox.entryList(QDir::Files).size(), 1);
        const QByteArray raw = file(u"inbox/new/"_s + inbox.entryList(QDir::Files).first());
        QVERIFY(raw.contains("\nX-RcptTo: " + Address.toUtf8() + '\n'));
        QCOMPARE(decode(raw, u"relayed"_s), (QStringList { Name, Address, Mag, Body }));
        sink.kill();
        sink.waitForFinished();
    }

private:
    // The real handler with the real program's settings, but for the test's own programs.
    void useMail(std::optional<std::chrono::milliseconds> timeLimit = {})
    {
        UnixMailHandler::Options options;
        options.sendmailCandidates = { m_dir->filePath(u"none"_s), m_dir->filePath(u"sendmail"_s),
                                       u"zelvora-no-such-sendmail"_s };
        options.xdgEmailCandidates = { m_dir->filePath(u"xdg-email"_s) };
        options.timeLimit = timeLimit.value_or(options.timeLimit);
        m_mail = std::make_unique<UnixMailHandler>(options, m_monitor.get(), &m_copies);
    }
    void write(const QString &name, const QByteArray &content)
    {
        QVERIFY(writeFile(m_dir->filePath(name), content, true));
    }
    QByteArray file(const QString &name) const { return readFile(m_dir->filePath(name)); }
    QWidget *get(const char *name) const { return child(m_form.get(), name); }
    void click(const char *name) { ::click(m_form.get(), name); }
    // Every fake but the mail handler, for a window of their own.
    Services services()
    {
        m_form.reset();
        m_fakes = std::make_unique<FakeServices>();
        m_fakes->messageBox.answers = { 0, 0, 0 }; // 送信する when asked about long lines
        Services services = m_fakes->services();
        services.mail = m_mail.get();
        return services;
    }
    bool openForm(const QString &body)
    {
        m_form = std::make_unique<Form1>(services(), nullptr);
        m_form->show();
        ControlText::setText(get(Role::RecipientName), Name);
        ControlText::setText(get(Role::RecipientAddress), Address);
        ControlText::setText(get(Role::Document), body);
        return QTest::qWaitForWindowExposed(m_form.get());
    }
};

QTEST_MAIN(TestMailSending)
#include "tst_mailsending.moc"
