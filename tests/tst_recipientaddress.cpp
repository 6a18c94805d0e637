// The address check that runs before any transport is started, and the mailbox handed to the
// user's mail client.
#include "mail/mapi.h"
#include "mail/recipientaddress.h"

#include <QTest>

class TestRecipientAddress final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void check_data();
    void check();
    void hint_data();
    void hint();
    void mailbox_data();
    void mailbox();
};

void TestRecipientAddress::check_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("valid");
    const QString local64 = QString(64, u'a');
    const QString longest = local64 + u'@' + QString(254 - 64 - 1 - 3, u'b') + u".jp"_qs;

    QTest::newRow("plain") << u"taro@example.jp"_qs << true;
    QTest::newRow("no dot in the domain") << u"root@localhost"_qs << true;
    QTest::newRow("carrier dots") << u"taro..yamada.@docomo.ne.jp"_qs << true;
    QTest::newRow("atext") << u"o'brien+news/x=y@example.ie"_qs << true;
    QTest::newRow("address literal") << u"a@[192.0.2.1]"_qs << true;
    QTest::newRow("254 characters") << longest << true;
    QTest::newRow("255 characters") << u'x' + longest << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("no at") << u"taro.example.jp"_qs << false;
    QTest::newRow("two ats") << u"a@b@example.jp"_qs << false;
    QTest::newRow("fullwidth at") << u"taro＠example.jp"_qs << false;
    QTest::newRow("empty local part") << u"@example.jp"_qs << false;
    QTest::newRow("empty domain") << u"taro@"_qs << false;
    QTest::newRow("space") << u"taro yamada@example.jp"_qs << false;
    QTest::newRow("ideographic space") << u"taro@example.jp\u3000"_qs << false;
    QTest::newRow("trailing CR LF") << u"taro@example.jp\r\n"_qs << false;
    QTest::newRow("header injection") << u"taro@example.jp\r\nBcc: v@example.com"_qs << false;
    QTest::newRow("tab") << u"\ttaro@example.jp"_qs << false;
    QTest::newRow("option") << u"-oQ/tmp/x@example.jp"_qs << false;
    QTest::newRow("second recipient by comma") << u"root,taro@example.jp"_qs << false;
    QTest::newRow("angle brackets") << u"<taro@example.jp>"_qs << false;
    QTest::newRow("quoted local part") << u"\"taro\"@example.jp"_qs << false;
    QTest::newRow("non-ASCII") << u"山田@example.jp"_qs << false;
    QTest::newRow("empty label") << u"taro@example..jp"_qs << false;
    QTest::newRow("hyphen label") << u"taro@-example.jp"_qs << false;
    QTest::newRow("underscore in domain") << u"taro@exa_mple.jp"_qs << false;
}

void TestRecipientAddress::check()
{
    QFETCH(QString, address);
    QFETCH(bool, valid);
    QCOMPARE(RecipientAddress::isValid(address), valid);
    try {
        RecipientAddress::check(address);
        QVERIFY(valid);
    } catch (const Error &error) {
        QVERIFY(!valid);
        QCOMPARE(error.number, MapiError::InvalidRecipients);
        // The user sees what was typed, line breaks and tabs made visible.
        QString shown = address;
        shown.replace(u'\r', QChar(0x240D))
            .replace(u'\n', QChar(0x240A))
            .replace(u'\t', QChar(0x2409));
        QVERIFY2(error.description.contains(shown.isEmpty() ? u"入力されていません"_qs : shown),
                 qPrintable(error.description));
    }
}

void TestRecipientAddress::hint_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("hint");
    QTest::newRow("fullwidth at") << u"taro＠example.jp"_qs << u"半角でない文字「＠」"_qs;
    QTest::newRow("line break") << u"taro@example.jp\n"_qs << u"空白や改行"_qs;
    QTest::newRow("no at") << u"taro.example.jp"_qs << u"「@」がありません"_qs;
    QTest::newRow("two ats") << u"a@b@example.jp"_qs << u"「@」が 2 個"_qs;
    QTest::newRow("option") << u"-oQ@example.jp"_qs << u"先頭の「-」"_qs;
    QTest::newRow("too long") << QString(250, u'a') + u"@b.jp"_qs << u"254 文字"_qs;
}

void TestRecipientAddress::hint()
{
    QFETCH(QString, address);
    QFETCH(QString, hint);
    try {
        RecipientAddress::check(address);
        QFAIL("accepted");
    } catch (const Error &error) {
        QVERIFY2(error.description.contains(hint), qPrintable(error.description));
    }
}

void TestRecipientAddress::mailbox_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("japanese") << u"山田 太郎"_qs << u"山田 太郎 <taro@example.jp>"_qs;
    QTest::newRow("no name") << QString() << u"taro@example.jp"_qs;
    QTest::newRow("comma") << u"Yamada, Taro"_qs << u"\"Yamada, Taro\" <taro@example.jp>"_qs;
    QTest::newRow("option-like") << u"-n"_qs << u"\"-n\" <taro@example.jp>"_qs;
    QTest::newRow("quote, backslash") << u"a\"b\\"_qs << u"\"a\\\"b\\\\\" <taro@example.jp>"_qs;
    QTest::newRow("line break") << u"x\r\nBcc: v@example.com"_qs
                                << u"\"x  Bcc: v@example.com\" <taro@example.jp>"_qs;
}

void TestRecipientAddress::mailbox()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(RecipientAddress::mailbox(name, u"taro@example.jp"_qs), expected);
}

QTEST_GUILESS_MAIN(TestRecipientAddress)
#include "tst_recipientaddress.moc"
