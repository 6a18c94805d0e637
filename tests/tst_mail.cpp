// Sending without a window: the addresses a transport is given, how a recipient is written, what
// the author reads for each way a hand-off ends, and the send guard's refusals and questions.
#include "handofferrors.h"
#include "mailhandler.h"
#include "recipientaddress.h"
#include "sendguard.h"
#include "windowtest.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

using Helper = HandOffErrors::Helper;
using How = HandOffEnd::How;

namespace {

const QString Placeholder = u"作成した文書がこの欄に表示されます。"_s;
const QString Address = u"list@example.jp"_s;
const QDateTime At(QDate(2026, 12, 7), QTime(9, 5, 30));

// A record shared by instances: earlier hand-offs of the document every test sends.
struct Record final : SentCopies
{
    struct Row
    {
        bool confirmed = true;
        int daysBefore = 0;
    };
    QList<Row> rows;
    bool unreadable = false; // reported once, then an empty record
    void keep(const QByteArray &, const Delivery &) override { }
    void keepFields(const QByteArray &) override { }
    QString folder() const override { return {}; }
    QList<Recorded> recorded(const QString &address, const QString &document) override
    {
        QList<Recorded> found;
        m_failure.reset();
        if (std::exchange(unreadable, false)) {
            m_failure = Failure { Failure::RecordUnreadable, u"/home/u/record.bad"_s, {} };
            return found;
        }
        for (const Row &row : std::as_const(rows))
            if (document == u"第1号\r\n本文"_s
                && Address.compare(address, Qt::CaseInsensitive) == 0)
                found.append({ At.addDays(-row.daysBefore), row.confirmed });
        return found;
    }
    std::optional<Failure> lastFailure() const override { return m_failure; }
    std::optional<Failure> m_failure;
};

// The author: answers the guard's questions from a queue, then as Escape does.
struct Author
{
    QList<SendGuard::Question> asked;
    QList<int> answers;
    SendGuard::Ask ask()
    {
        return [this](const SendGuard::Question &q) {
            asked.append(q);
            return answers.isEmpty() ? q.escapeAnswer : answers.takeFirst();
        };
    }
};

} // namespace

Q_DECLARE_METATYPE(QList<Record::Row>)

class TestMail final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void address_data()
    {
        // said: a part of the refusal the author reads
        columns<QString, bool, QString>({ "address", "valid", "said" });
        const auto row
            = [](const char *tag, const QString &address, bool valid, const QString &said = {}) {
                  QTest::newRow(tag) << address << valid << said;
              };
        row("carrier's dots", u"taro..yamada.@example.ne.jp"_s, true);
        row("hyphen inside labels", u"taro@mail-1.example-jp.jp"_s, true);
        row("address literal", u"taro@[192.0.2.1]"_s, true);
        const QString domain = (QString(61, u'b') + u'.').repeated(3) + u"bjp"_s;
        row("254 characters", QString(64, u'a') + u'@' + domain, true);
        row("255 characters", QString(65, u'a') + u'@' + domain, false, u"254 文字"_s);
        row("label of 64 characters", u"taro@"_s + QString(64, u'b') + u".example.jp"_s, false);
        row("label starts with -", u"taro@-example.jp"_s, false);
        row("label ends with -", u"taro@example-.jp"_s, false);
        row("empty label", u"taro@example..jp"_s, false);
        row("empty", QString(), false, u"入力されていません"_s);
        row("no local part", u"@example.jp"_s, false);
        row("no domain", u"taro@"_s, false);
        row("option", u"-oQ/tmp@example.jp"_s, false, u"先頭の「-」"_s);
        row("space", u"taro yamada@example.jp"_s, false);
        row("second recipient", u"root,taro@example.jp"_s, false, u"「root,taro@"_s);
        row("line break", u"taro@example.jp\r\nBcc: v@example.com"_s, false,
            u"taro@example.jp␍␊Bcc: v@"_s);
        row("fullwidth at", u"taro＠example.jp"_s, false, u"「＠」"_s);
        row("invisible and direction characters", u"a\u200B\u2028\u202Eb@example.jp"_s, false,
            u"「a<U+200B><U+2028><U+202E>b@example.jp」"_s);
    }
    // check() agrees with isValid() and refuses with 32025, showing the author what was typed.
    void address()
    {
        QFETCH(QString, address);
        QFETCH(bool, valid);
        QFETCH(QString, said);
        QCOMPARE(RecipientAddress::isValid(address), valid);
        const auto error = ErrorHandling::trap([&] { RecipientAddress::check(address); });
        QCOMPARE(error.value_or(Error {}).number, valid ? 0 : 32025);
        QVERIFY2(!error || error->description.contains(said),
                 qPrintable(error.value_or(Error {}).description));
    }

    void recipient_data()
    {
        columns<QString, QString, QString>({ "name", "displayName", "mailbox" });
        QTest::newRow("comma") << u"Yamada, Taro"_s << u"Yamada, Taro"_s
                               << u"\"Yamada, Taro\" <list@example.jp>"_s;
        QTest::newRow("quote and backslash")
            << u"a\"b\\c"_s << u"a\"b\\c"_s << u"\"a\\\"b\\\\c\" <list@example.jp>"_s;
        QTest::newRow("control characters") << u" 山田\r\n太郎\u0000\u2028"_s << u"山田  太郎"_s
                                            << u"山田  太郎 <list@example.jp>"_s;
        QTest::newRow("control characters only") << u"\t\u007F\u0085"_s << QString() << Address;
    }
    void recipient()
    {
        QFETCH(QString, name);
        QTEST(RecipientAddress::displayName(name), "displayName");
        QTEST(RecipientAddress::mailbox(name, Address), "mailbox");
    }

    void handOffEnd_data()
    {
        // number: 0: handed over; unsaid: none when empty
        columns<Helper, How, int, bool, qint32, QString, QString>(
            { "helper", "how", "exitCode", "tookAllInput", "number", "said", "unsaid" });
        const auto row = [](const char *tag, Helper helper, How how, int exitCode, bool all,
                            qint32 number, const QString &said, const QString &unsaid = {}) {
            QTest::newRow(tag) << helper << how << exitCode << all << number << said << unsaid;
        };
        const Helper T = Helper::Transport, C = Helper::MailClient;
        const QString again = u"もう一度送信してください"_s;
        row("exit 68", T, How::Exited, 68, true, 32014, u"宛先 taro@example.jp には"_s);
        row("exit 69", T, How::Exited, 69, true, 32002, u"送れませんでした（終了コード 69）"_s,
            u"最後まで受け取っていません"_s);
        row("exit 75 before the end", T, How::Exited, 75, false, 32002,
            u"転送プログラムはメッセージを最後まで受け取っていません。"_s);
        row("timed out after the whole message", T, How::TimedOut, 0, true, 32002,
            u"既に送られている可能性"_s, again);
        row("exit 78", T, How::Exited, 78, false, 32002,
            u"正しくありません（終了コード 78）。/opt/mta/sendmail の設定を確かめて"_s);
        row("not found", T, How::NotFound, 0, true, 32003, u"（sendmail 互換）が見つかりません"_s);
        row("cancelled", T, How::Cancelled, 0, false, 32001, u"送られていない可能性"_s, again);
        row("cancelled after the whole message", T, How::Cancelled, 0, true, 32001,
            u"既に送られている可能性"_s, again);
        row("compose window open", C, How::LeftRunning, 0, true, 0, {});
        row("client exit 3", C, How::Exited, 3, true, 32002, u"xdg-email の終了コード 3"_s);
        row("client cancelled", C, How::Cancelled, 0, true, 32001, u"送られていない可能性"_s);
        row("client not found", C, How::NotFound, 0, true, 32002, u"xdg-utils"_s);
    }
    void handOffEnd()
    {
        QFETCH(Helper, helper);
        QFETCH(How, how);
        QFETCH(int, exitCode);
        QFETCH(bool, tookAllInput);
        QFETCH(QString, said);
        QFETCH(QString, unsaid);
        const auto error
            = HandOffErrors::errorFor(helper, { how, exitCode, {}, {}, tookAllInput },
                                      { u"/opt/mta/sendmail"_s, u"taro@example.jp"_s, 3s });
        QTEST(error.value_or(Error {}).number, "number");
        if (!error)
            return;
        QVERIFY2(error->description.contains(said), qPrintable(error->description));
        if (!unsaid.isEmpty())
            QVERIFY2(!error->description.contains(unsaid), qPrintable(error->description));
    }

    void refusal_data()
    {
        // number: 0: sent
        columns<QString, qint32>({ "body", "number" });
        QTest::newRow("white space only") << u" \r\n\t\u3000\u00A0\r\n"_s << 32017;
        QTest::newRow("placeholder and more") << Placeholder + u"\r\n本文"_s << 0;
        QTest::newRow("no address, before the document") << QString() << 32025;
    }
    // Refused before any question: the address first, then a document that is none.
    void refusal()
    {
        QFETCH(QString, body);
        const QString address
            = QString::fromLatin1(QTest::currentDataTag()).startsWith(u"no address"_s) ? QString()
                                                                                       : Address;
        QTEST(
            SendGuard::refusal({ u"読者"_s, address, body }, Placeholder).value_or(Error {}).number,
            "number");
    }

    void sendAgain_data()
    {
        // record: earlier hand-offs of the document to Address; answers: empty: Escape
        columns<QList<Record::Row>, bool, QList<int>, bool>(
            { "record", "unreadable", "answers", "send" });
        const QList<Record::Row> lastWeek { { true, 7 } };
        QTest::newRow("sent last week, はい") << lastWeek << false << QList { 0 } << true;
        QTest::newRow("sent, then maybe: the sure one is named")
            << QList<Record::Row> { { true, 7 }, { false, 1 } } << false << QList<int>() << false;
        QTest::newRow("record unreadable") << lastWeek << true << QList<int>() << true;
    }
    // Any earlier hand-off of the document to the address, in the record or by this guard, asks
    // (Enter and Escape: form1 week). An unreadable record is told once and never stops the send.
    void sendAgain()
    {
        QFETCH(bool, unreadable);
        Record shared;
        QFETCH(QList<Record::Row>, record);
        shared.rows = record;
        shared.unreadable = unreadable;
        QFETCH(QList<int>, answers);
        Author author { {}, answers };
        QStringList warned;
        SendGuard guard(author.ask(), &shared, [&](const QString &text) { warned << text; });
        QTEST(guard.check({ u"読者"_s, Address, u"第1号\r\n本文"_s }, {}).send, "send");
        QCOMPARE(warned.size(), unreadable ? 1 : 0);
        QCOMPARE(author.asked.size(), unreadable ? 0 : 1);
        const QString sent
            = u"この文書は 2026/11/30 09:05 に同じ宛先へ送信済みです。もう一度送信しますか？"_s;
        QCOMPARE(author.asked.value(0).text, unreadable ? QString() : sent);
        const OutgoingDocument next { u"読者"_s, u"LIST@example.jp"_s, u"第2号"_s };
        QVERIFY(guard.check(next, {}).send);
        guard.sent(next, At);
        QVERIFY(!guard.check({ {}, Address, next.body }, {}).send);
    }
};

QTEST_GUILESS_MAIN(TestMail)
#include "tst_mail.moc"
