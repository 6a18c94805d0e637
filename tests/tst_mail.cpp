// The policy of sending, without a window: which recipient addresses a transport is given and how
// a recipient is written, what the author reads for each way a hand-off ends, and the send
// guard's refusals, questions and report after a send.
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
// Narrower than the default, so that a guide not passed on is seen.
constexpr int Guide = 40;

// A record shared by instances: earlier hand-offs of the document every test sends.
struct Record final : SentCopies
{
    struct Row
    {
        QString address;
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
                && row.address.compare(address, Qt::CaseInsensitive) == 0)
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
        row("dotted local part", u"taro.yamada@example.jp"_s, true);
        row("carrier's dots", u"taro..yamada.@example.ne.jp"_s, true);
        row("hyphen inside labels", u"taro@mail-1.example-jp.jp"_s, true);
        row("address literal", u"taro@[192.0.2.1]"_s, true);
        row("254 characters", QString(64, u'a') + u'@' + QString(186, u'b') + u".jp"_s, true);
        row("255 characters", QString(65, u'a') + u'@' + QString(186, u'b') + u".jp"_s, false,
            u"254 文字"_s);
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
    // check() agrees with isValid() and refuses with the invalid-recipients error, showing the
    // author what was typed.
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
        QTest::newRow("plain") << u"山田 太郎"_s << u"山田 太郎"_s
                               << u"山田 太郎 <list@example.jp>"_s;
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
        row("sent", T, How::Exited, 0, true, 0, {});
        row("exit 0 before the end", T, How::Exited, 0, false, 32002, u"最後まで受け取らずに"_s);
        row("exit 67", T, How::Exited, 67, false, 32014, u"宛先 taro@example.jp には"_s);
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
        row("crashed", T, How::Crashed, 0, false, 32002, u"sendmail が異常終了"_s);
        row("timed out", T, How::TimedOut, 0, false, 32002, u"3 秒たっても"_s);
        row("cancelled", T, How::Cancelled, 0, false, 32001, u"送られていない可能性"_s, again);
        row("cancelled after the whole message", T, How::Cancelled, 0, true, 32001,
            u"既に送られている可能性"_s, again);
        row("compose window open", C, How::LeftRunning, 0, true, 0, {});
        row("client exit 0", C, How::Exited, 0, true, 0, {});
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
        QFETCH(qint32, number);
        QFETCH(QString, said);
        QFETCH(QString, unsaid);
        const auto error
            = HandOffErrors::errorFor(helper, { how, exitCode, {}, {}, tookAllInput },
                                      { u"/opt/mta/sendmail"_s, u"taro@example.jp"_s, 3s });
        QCOMPARE(error.value_or(Error {}).number, number);
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
        QTest::newRow("empty") << QString() << 32017;
        QTest::newRow("white space only") << u" \r\n\t\u3000\u00A0\r\n"_s << 32017;
        QTest::newRow("placeholder") << Placeholder << 32017;
        QTest::newRow("placeholder and more") << Placeholder + u"\r\n本文"_s << 0;
        QTest::newRow("one character") << u"\u3000x\r\n"_s << 0;
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

    void marks_data()
    {
        // answers: empty: Escape; mend: "line, column" gone back to; empty: none
        columns<QString, QList<int>, bool, QString>({ "document", "answers", "send", "mend" });
        const QString uncarried = u"本文\r\nab①"_s;
        QTest::newRow("up to the guide")
            << u"本文\r\n"_s + QString(Guide, u'x') << QList<int>() << true << QString();
        QTest::newRow("white space at line ends")
            << u"本文 \r\n二行目  "_s << QList<int>() << true << QString();
        QTest::newRow("送信する") << uncarried << QList { 0 } << true << QString();
        QTest::newRow("戻って直す") << uncarried << QList { 1 } << false << u"2, 3"_s;
        QTest::newRow("past the guide, Escape")
            << u"本文\r\n"_s + QString(Guide + 1, u'x') << QList<int>() << false << u"2, 41"_s;
    }
    // Asked exactly when the marks say readers may not see the document as written; the wording
    // and the places are the marks' own.
    void marks()
    {
        QFETCH(QString, document);
        QFETCH(QList<int>, answers);
        Author author;
        author.answers = answers;
        SendGuard guard(author.ask());
        const SendGuard::Verdict verdict
            = guard.check({ {}, Address, document }, { Guide, {}, {} });
        QTEST(verdict.send, "send");
        QTEST(verdict.mend ? u"%1, %2"_s.arg(verdict.mend->line).arg(verdict.mend->column)
                           : QString(),
              "mend");
        const TextMarks::Summary summary = TextMarks::summarize(document, Guide);
        QCOMPARE(author.asked.size(), summary.asks() ? 1 : 0);
        if (author.asked.isEmpty())
            return;
        const SendGuard::Question &q = author.asked[0];
        QCOMPARE(q.text, TextMarks::question(summary, Guide));
        QCOMPARE(std::tuple(q.answers, q.defaultAnswer, q.escapeAnswer),
                 std::tuple(QStringList { u"送信する(&S)"_s, u"戻って直す(&B)"_s }, 1, 1));
    }

    void sendAgain_data()
    {
        // record: earlier hand-offs: address, confirmed; answers: empty: Escape; question: empty:
        // none
        columns<QList<Record::Row>, bool, QList<int>, QString, bool>(
            { "record", "unreadable", "answers", "question", "send" });
        const QString sent = u"この文書は 2026/11/30 09:05 に同じ宛先へ送信済みです。"
                             u"もう一度送信しますか？"_s;
        const QString maybe = u"この文書は 2026/12/06 09:05 に同じ宛先へ送信した可能性があります。"
                              u"もう一度送信しますか？"_s;
        const QList<Record::Row> lastWeek { { Address, true, 7 } };
        QTest::newRow("sent last week, Escape")
            << lastWeek << false << QList<int>() << sent << false;
        QTest::newRow("sent last week, はい") << lastWeek << false << QList { 0 } << sent << true;
        QTest::newRow("address in capitals")
            << QList<Record::Row> { { u"LIST@Example.JP"_s, true, 7 } } << false << QList<int>()
            << sent << false;
        QTest::newRow("another address")
            << QList<Record::Row> { { u"other@example.jp"_s, true, 7 } } << false << QList<int>()
            << QString() << true;
        QTest::newRow("may have gone out") << QList<Record::Row> { { Address, false, 1 } } << false
                                           << QList<int>() << maybe << false;
        QTest::newRow("sent, then maybe: the sure one is named")
            << QList<Record::Row> { { Address, true, 7 }, { Address, false, 1 } } << false
            << QList<int>() << sent << false;
        QTest::newRow("record unreadable") << lastWeek << true << QList<int>() << QString() << true;
    }
    // Any earlier hand-off of the same document to the same address asks, however long ago and
    // by whichever instance; Enter and Escape answer いいえ. A record that cannot be read is told
    // once and never stops the send.
    void sendAgain()
    {
        QFETCH(QList<Record::Row>, record);
        QFETCH(bool, unreadable);
        QFETCH(QList<int>, answers);
        QFETCH(QString, question);
        Record shared;
        shared.rows = record;
        shared.unreadable = unreadable;
        Author author;
        author.answers = answers;
        QStringList warned;
        SendGuard guard(author.ask(), &shared, [&](const QString &text) { warned << text; });
        const OutgoingDocument issue { u"読者"_s, Address, u"第1号\r\n本文"_s };
        QTEST(guard.check(issue, { Guide, {}, {} }).send, "send");
        QCOMPARE(author.asked.size(), question.isEmpty() ? 0 : 1);
        QCOMPARE(warned.size(), unreadable ? 1 : 0);
        QVERIFY(guard.check({ u"読者"_s, Address, u"第2号"_s }, { Guide, {}, {} }).send);
        if (question.isEmpty())
            return;
        const SendGuard::Question &q = author.asked[0];
        QCOMPARE(q.text, question);
        QCOMPARE(std::tuple(q.answers, q.defaultAnswer, q.escapeAnswer),
                 std::tuple(QStringList { u"はい"_s, u"いいえ"_s }, 1, 1));
    }

    // Without a shared record the guard still remembers its own sends.
    void ownSendsWithoutARecord()
    {
        Author author;
        SendGuard guard(author.ask());
        const OutgoingDocument issue { u"読者"_s, Address, u"本文"_s };
        guard.sent(issue, At);
        QVERIFY(!guard.check(issue, { Guide, {}, {} }).send);
        QVERIFY(author.asked.value(0).text.contains(u"2026/12/07 09:05 に同じ宛先へ送信済み"_s));
    }

    void stale_data()
    {
        // answers: empty: Escape; changed: the fields named; empty: not asked
        columns<bool, QList<int>, QString, bool>({ "made", "answers", "changed", "send" });
        QTest::newRow("never made") << false << QList<int>() << QString() << true;
        QTest::newRow("body and issue line, Escape")
            << true << QList<int>() << u"発行号、本文"_s << false;
        QTest::newRow("body and issue line, このまま送信する")
            << true << QList { 0 } << u"発行号、本文"_s << true;
    }
    // A document made before its fields changed is asked about, naming the fields; 戻る is the
    // default and Escape's answer.
    void stale()
    {
        QFETCH(bool, made);
        QFETCH(QList<int>, answers);
        QFETCH(QString, changed);
        DocumentFields before;
        before.body = u"先週の本文"_s;
        before.issueLine = u"第12号"_s;
        before.signature = u"署名"_s;
        DocumentFields now = before;
        QCOMPARE(SendGuard::changedFields(before, now), QStringList());
        now.body = u"今週の本文"_s;
        now.issueLine = u"第13号"_s;
        Author author;
        author.answers = answers;
        SendGuard guard(author.ask());
        const auto madeFrom = made ? std::optional(before) : std::nullopt;
        QTEST(guard.check({ {}, Address, u"文書"_s }, { Guide, madeFrom, now }).send, "send");
        QCOMPARE(author.asked.size(), changed.isEmpty() ? 0 : 1);
        if (changed.isEmpty())
            return;
        const SendGuard::Question &q = author.asked[0];
        QCOMPARE(
            q.text,
            u"文書を作った後に、次の欄が変わっています: %1。このまま送信しますか？"_s.arg(changed));
        QCOMPARE(std::tuple(q.answers, q.defaultAnswer, q.escapeAnswer),
                 std::tuple(QStringList { u"このまま送信する"_s, u"戻る"_s }, 1, 1));
    }

    void told_data()
    {
        // copyFailure: a SentCopies::Failure::What; -1: kept
        columns<QString, int, QString>({ "name", "copyFailure", "said" });
        QTest::newRow("kept") << u"読者"_s << -1
                              << u"09:05 に 読者 <list@example.jp> 宛てのメールを送信しました"_s;
        QTest::newRow("no name") << QString() << -1 << u"09:05 に list@example.jp 宛て"_s;
        QTest::newRow("folder not made")
            << u"読者"_s << int(SentCopies::Failure::Folder)
            << u"控えは保存できませんでした: 控えのフォルダー /home/u/sent を作れませんでした。"_s;
        QTest::newRow("file not written")
            << u"読者"_s << int(SentCopies::Failure::File)
            << u"控えは保存できませんでした: 控え /home/u/sent を書けませんでした（空きがありません）。"_s;
    }
    void told()
    {
        QFETCH(QString, name);
        QFETCH(int, copyFailure);
        QFETCH(QString, said);
        std::optional<SentCopies::Failure> failure;
        if (copyFailure >= 0)
            failure = { SentCopies::Failure::What(copyFailure), u"/home/u/sent"_s,
                        u"空きがありません"_s };
        const SendGuard::Told told = SendGuard::told({ name, Address, u"本文"_s }, At, failure);
        QCOMPARE(told.summary, u"メールマガジンを送信しました"_s);
        QVERIFY2(told.body.contains(said), qPrintable(told.body));
        QCOMPARE(told.body.contains(u"控え"_s), bool(failure));
    }
};

QTEST_GUILESS_MAIN(TestMail)
#include "tst_mail.moc"
