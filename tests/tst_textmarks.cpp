// What readers may not see as written, the plain forms offered and line breaks, without a window.
#include "catalogues.h"
#include "linewrap.h"
#include "plainforms.h"
#include "textmarks.h"
#include "windowtest.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestTextMarks final : public QObject
{
    Q_OBJECT

    // Marks as "U0+1 I3+1 T5+2 P70+10": kind, start and length.
    static QString brief(const QList<TextMarks::Mark> &marks)
    {
        QStringList out;
        for (const auto &m : marks)
            out << u"UITP"_s[int(m.kind)] + u"%1+%2"_s.arg(m.start).arg(m.length);
        return out.join(u' ');
    }

private Q_SLOTS:
    void characters_data()
    {
        columns<QString, bool, bool, int>({ "c", "carried", "invisible", "columns" });
        QTest::newRow("wave dash 〜") << u"\u301C"_s << true << false << 2;
        QTest::newRow("minus sign −") << u"\u2212"_s << true << false << 1; // neutral
        QTest::newRow("fullwidth tilde ～") << u"\uFF5E"_s << false << false << 2;
        QTest::newRow("parallel ∥") << u"\u2225"_s << false << false << 2;
        QTest::newRow("circled ①") << u"①"_s << false << false << 2;
        QTest::newRow("㈱") << u"㈱"_s << false << false << 2;
        QTest::newRow("髙") << u"髙"_s << false << false << 2;
        QTest::newRow("halfwidth ﾊ") << u"ﾊ"_s << false << false << 1;
        QTest::newRow("emoji") << u"😀"_s << false << false << 2;
        QTest::newRow("yen sign ¥") << u"¥"_s << false << false << 1;
        QTest::newRow("no-break space") << u"\u00A0"_s << false << true << 1;
        QTest::newRow("zero width space") << u"\u200B"_s << false << true << 1;
        QTest::newRow("tab") << u"\t"_s << true << true << 1;
    }
    void characters()
    {
        QFETCH(QString, c);
        const char32_t code = c.toUcs4().first();
        QTEST(TextMarks::carried(code), "carried");
        QTEST(TextMarks::invisible(code), "invisible");
        QTEST(TextMarks::columns(c), "columns");
    }

    void lines_data()
    {
        columns<QString, QString>({ "line", "marks" });
        QTest::newRow("plain") << u"いつもご愛読ありがとう (^^)"_s << QString();
        QTest::newRow("uncarried") << u"①と㈱とﾊ😀"_s << u"U0+1 U2+1 U4+1 U5+2"_s;
        QTest::newRow("80 columns") << QString(80, u'a') << u"P70+10"_s;
        QTest::newRow("36 fullwidth") << QString(36, u'あ') << u"P35+1"_s;
        QTest::newRow("wide character across the guide")
            << QString(69, u'a') + u"あ"_s << u"P69+1"_s;
        QTest::newRow("white space past the guide") << QString(70, u'a') + u"  "_s << u"T70+2"_s;
        // The program's own texts are never marked as they stand; changed, they are the author's.
        const QString closing = Catalogues::closingLines().last();
        QTest::newRow("own closing line") << closing << QString();
        QTest::newRow("own signature")
            << QString::fromUtf16(Catalogues::InitialSignature) << QString();
        QTest::newRow("own closing line, changed")
            << closing + u"！"_s << u"P53+6"_s; // from the 71st column
    }
    void lines()
    {
        QFETCH(QString, line);
        QTEST(brief(TextMarks::markLine(line, 70)), "marks");
    }

    void question_data()
    {
        // first: "line, column" the author is taken back to; said: in the question
        columns<QString, QString, QStringList>({ "document", "first", "said" });
        QTest::newRow("each kind")
            << u"①㈱\r\nﾊﾝｶｸ😀\r\nA\u00A0B\u200B \r\n"_s + QString(80, u'x') << u"1, 1"_s
            << QStringList { u"7 個（最初は 行 1, 桁 1）"_s, u"2 個（最初は 行 3, 桁 2）"_s,
                             u"幅 70 桁を超える行: 1 行（最初は 行 4, 桁 71）"_s };
        QTest::newRow("kinds on one line")
            << u"本文\r\nab\u200Bc①d①\u200B"_s << u"2, 3"_s
            << QStringList { u"2 個（最初は 行 2, 桁 5）"_s, u"2 個（最初は 行 2, 桁 3）"_s };
        QTest::newRow("a line's end alone is not asked")
            << u"本文\r\n毎度っ！　by - "_s << u"0, 0"_s << QStringList();
    }
    void question()
    {
        QFETCH(QString, document);
        QFETCH(QStringList, said);
        const TextMarks::Summary s = TextMarks::summarize(document, 70);
        const TextMarks::Place first = s.firstAsked();
        QTEST(u"%1, %2"_s.arg(first.line).arg(first.column), "first");
        QCOMPARE(s.asks(), !said.isEmpty());
        const QString q = TextMarks::question(s, 70);
        for (const QString &part : said)
            QVERIFY2(q.contains(part), qPrintable(q));
    }

    void plainForms_data()
    {
        // replaced: the line after the replacement, "*" when it can only be removed
        columns<QString, int, QString>({ "line", "offset", "replaced" });
        QTest::newRow("negative circled") << u"❸"_s << 0 << u"(3)"_s;
        QTest::newRow("parenthesised") << u"⑷"_s << 0 << u"(4)"_s;
        QTest::newRow("Roman") << u"第Ⅲ部"_s << 1 << u"第III部"_s;
        QTest::newRow("㈲") << u"㈲"_s << 0 << u"(有)"_s;
        QTest::newRow("㍿") << u"㍿"_s << 0 << u"株式会社"_s;
        QTest::newRow("voiced, at the mark") << u"ｶﾞ"_s << 1 << u"ガ"_s;
        QTest::newRow("voiced, not in JIS") << u"ﾜﾞ"_s << 0 << u"ワ゛"_s;
        QTest::newRow("髙, removed") << u"髙橋"_s << 0 << u"橋*"_s;
    }
    void plainForms()
    {
        QFETCH(QString, line);
        QFETCH(int, offset);
        const auto r = PlainForms::at(line, offset);
        QVERIFY(r);
        QTEST(QString(line).replace(r->start, r->length, r->plain)
                  + (r->removalOnly ? u"*"_s : QString()),
              "replaced");
    }
    void wrapping_data()
    {
        // lines: wrapped at 40 columns, lines apart by "/"
        columns<QString, QString>({ "line", "lines" });
        const QString a19 = QString(19, u'あ'), url = u"https://example.jp/2026/12.html"_s;
        QTest::newRow("separator") << QString(80, u'-') << QString(80, u'-');
        QTest::newRow("row of ■□") << u"■□"_s.repeated(20) << u"■□"_s.repeated(20);
        QTest::newRow("」 never starts a line") << a19 + u"い」え"_s << a19 + u"/い」え"_s;
        QTest::newRow("small kana never starts") << a19 + u"ちょっと"_s << a19 + u"/ちょっと"_s;
        QTest::newRow("「 never ends a line") << a19 + u"「い」"_s << a19 + u"/「い」"_s;
        QTest::newRow("a combining mark stays with its base")
            << a19 + u"か\u3099き"_s << a19 + u"/か\u3099き"_s;
        QTest::newRow("URL whole") << a19.left(10) + url << a19.left(10) + u'/' + url;
        const QString w = u"abcd "_s; // a space after the guide's last column stays there
        QTest::newRow("ASCII words, spaces hang")
            << u"x"_s + w.repeated(20)
            << u"x"_s + w.repeated(8) + u'/' + w.repeated(8) + u'/' + w.repeated(4);
    }
    void wrapping()
    {
        QFETCH(QString, line);
        QStringList lines;
        qsizetype done = 0;
        for (qsizetype at : LineWrap::breaks(line, 40)) {
            QVERIFY2(at > done && at < line.size(), qPrintable(QString::number(at)));
            lines << line.sliced(done, at - done);
            done = at;
        }
        lines << line.sliced(done);
        QTEST(lines.join(u'/'), "lines");
        for (const QString &wrapped : std::as_const(lines))
            QCOMPARE(LineWrap::breaks(wrapped, 40), QList<qsizetype>()); // twice changes nothing
    }
};

QTEST_GUILESS_MAIN(TestTextMarks)
#include "tst_textmarks.moc"
