// The fixed phrases, checked code point by code point: fullwidth forms, the ideographic space
// and their ASCII look-alikes must never be mixed up.
#include "catalogues.h"

#include <QTest>

class TestCatalogues final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void decorations_data();
    void decorations();
    void labelsAndClosingLines();
};

void TestCatalogues::decorations_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("unit"); // the code points repeated
    QTest::addColumn<int>("times");
    const std::tuple<int, const char16_t *, int> rows[] = {
        { 0, u"\u25A0", 6 },   { 1, u"\u25A0\u25A1", 4 }, { 2, u"\u25A1", 12 },
        { 3, u"\uFF3C|", 6 },  { 4, u"\uFF0F|", 6 },      { 5, u"\u2220", 8 },
        { 6, u"\u03A8", 10 },  { 7, u"\u203B", 20 },      { 8, u"\u266A", 10 },
        { 9, u"#", 15 },       { 10, u"@", 10 },          { 11, u"(", 20 },
        { 12, u")", 20 },      { 13, u"\u03A9", 10 },     { 14, u"\u03C8", 10 },
        { 15, u"\u2020", 15 },
    };
    for (const auto &[index, unit, times] : rows)
        QTest::addRow("%d", index) << index << QString::fromUtf16(unit) << times;
}

void TestCatalogues::decorations()
{
    QFETCH(int, index);
    QFETCH(QString, unit);
    QFETCH(int, times);
    const QStringList all = Catalogues::decorations();
    QCOMPARE(all.size(), 16);
    QCOMPARE(all.at(index), unit.repeated(times));
}

void TestCatalogues::labelsAndClosingLines()
{
    const QStringList labels = Catalogues::issueLabels();
    QCOMPARE(labels.size(), 17);
    QCOMPARE(labels.mid(0, 2), QStringList({ u"週間"_qs, u"月間"_qs }));
    const QString quoted = u"\u0022タイトル名を入れて下さい\u0022"_qs;
    const char16_t *digits = u"０１２３４５６７８９";
    for (int month = 1; month <= 12; ++month) {
        QString number = QChar(digits[month % 10]);
        if (month >= 10)
            number.prepend(QChar(digits[1]));
        QCOMPARE(labels.at(month + 1), quoted + number + u"月号"_qs);
    }
    QCOMPARE(labels.at(11).size(), 18);
    QCOMPARE(
        labels.mid(14),
        QStringList({ quoted + u"特大号"_qs, quoted + u"緊急配信"_qs, quoted + u"号\u3000外"_qs }));

    const QStringList closing = Catalogues::closingLines();
    QCOMPARE(closing.size(), 2);
    const QString messages[]
        = { u"次回をお楽しみに\uFF01"_qs, u"配信中止はE-mailで受け付けます\uFF01"_qs };
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(closing.at(i),
                 QString(5, u'-') + u'\u3000' + messages[i] + u'\u3000' + QString(12, u'-')
                     + u"\u3000END\u3000"_qs + QString(15, u'-'));
    }
    QCOMPARE(closing.at(0).size(), 48);
    QCOMPARE(closing.at(1).size(), 58);
}

QTEST_GUILESS_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
