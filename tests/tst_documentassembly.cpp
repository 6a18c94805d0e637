// The document made of the fields: order, CR LF between the parts, nothing added or lost.
#include "documentassembly.h"

#include <QTest>

class TestDocumentAssembly final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void assemble_data();
    void assemble();
};

Q_DECLARE_METATYPE(DocumentFields)

void TestDocumentAssembly::assemble_data()
{
    QTest::addColumn<DocumentFields>("fields");
    QTest::addColumn<QString>("expected");
    const QString sep = u"------------------------------------------"_qs;
    QCOMPARE(sep.size(), 42);

    QTest::newRow("all empty") << DocumentFields {}
                               << u"\r\n\r\n\r\n\r\n\r\n"_qs + sep + u"\r\n\r\n"_qs;

    DocumentFields opening;
    opening.homepageLine = u"Homepage  :"_qs;
    opening.emailLine = u"E-mail    　 :"_qs;
    opening.signature = u"V（＾0＾）毎度っ！　by - "_qs;
    QTest::newRow("as the window opens")
        << opening
        << u"\r\nHomepage  :\r\nE-mail    　 :\r\n\r\nV（＾0＾）毎度っ！　by - \r\n"_qs + sep
            + u"\r\n\r\n"_qs;

    DocumentFields full;
    full.startDecoration = u"■■■■■■"_qs;
    full.subtitle = u" 週刊 ねこ通信 "_qs;
    full.endDecoration = u"■■■■■■"_qs;
    full.homepageLine = u"Homepage  : https://example.org/"_qs;
    full.emailLine = u"E-mail :\u00A0a@example.org"_qs;
    full.issueLine = u"2026/12/06\r\n\"タイトル名を入れて下さい\"１２月号"_qs;
    full.signature = u"sig  "_qs;
    full.body = u"一行目\r\n\r\n  三行目\u2028続き\r\n."_qs;
    full.closingLine = u"-----　次回をお楽しみに！　------------　END　---------------"_qs;
    QTest::newRow("every field, title joined without spaces, inner breaks kept")
        << full
        << u"■■■■■■ 週刊 ねこ通信 ■■■■■■\r\nHomepage  : https://example.org/\r\n"
           u"E-mail :\u00A0a@example.org\r\n2026/12/06\r\n\"タイトル名を入れて下さい\"１２月号"
           u"\r\nsig  \r\n"_qs
            + sep
            + u"\r\n一行目\r\n\r\n  三行目\u2028続き\r\n.\r\n-----　次回をお楽しみに！　"
              u"------------　END　---------------"_qs;
}

void TestDocumentAssembly::assemble()
{
    QFETCH(DocumentFields, fields);
    QFETCH(QString, expected);
    QCOMPARE(DocumentAssembly::assemble(fields), expected);
}

QTEST_GUILESS_MAIN(TestDocumentAssembly)
#include "tst_documentassembly.moc"
