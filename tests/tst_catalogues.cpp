// The fixed phrases, code point by code point: fullwidth forms, the ideographic space and their
// ASCII look-alikes must never be mixed up.
#include "catalogues.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestCatalogues final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void decorations()
    {
        // Each entry: a unit of code points and how often it is repeated.
        const std::pair<const char16_t *, int> rows[] = {
            { u"\u25A0", 6 },  { u"\u25A0\u25A1", 4 }, { u"\u25A1", 12 }, { u"\uFF3C|", 6 },
            { u"\uFF0F|", 6 }, { u"\u2220", 8 },       { u"\u03A8", 10 }, { u"\u203B", 20 },
            { u"\u266A", 10 }, { u"#", 15 },           { u"@", 10 },      { u"(", 20 },
            { u")", 20 },      { u"\u03A9", 10 },      { u"\u03C8", 10 }, { u"\u2020", 15 },
        };
        QStringList expected;
        for (const auto &[unit, times] : rows)
            expected << QString::fromUtf16(unit).repeated(times);
        QCOMPARE(Catalogues::decorations(), expected);
    }

    void labelsAndClosingLines()
    {
        const QString quoted = u"\u0022タイトル名を入れて下さい\u0022"_s;
        QStringList labels { u"週間"_s, u"月間"_s };
        for (const char16_t *month : { u"１", u"２", u"３", u"４", u"５", u"６", u"７", u"８",
                                       u"９", u"１０", u"１１", u"１２" })
            labels << quoted + QString::fromUtf16(month) + u"月号"_s;
        for (const char16_t *suffix : { u"特大号", u"緊急配信", u"号\u3000外" })
            labels << quoted + QString::fromUtf16(suffix);
        QCOMPARE(Catalogues::issueLabels(), labels);
        QCOMPARE(Catalogues::issueLabels().at(11).size(), 18);

        QStringList closing;
        for (const char16_t *message :
             { u"次回をお楽しみに\uFF01", u"配信中止はE-mailで受け付けます\uFF01" })
            closing << QString(5, u'-') + u'\u3000' + QString::fromUtf16(message) + u'\u3000'
                    + QString(12, u'-') + u"\u3000END\u3000"_s + QString(15, u'-');
        QCOMPARE(Catalogues::closingLines(), closing);
        QCOMPARE(closing.at(0).size() + closing.at(1).size(), 48 + 58);
    }
};

QTEST_GUILESS_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
