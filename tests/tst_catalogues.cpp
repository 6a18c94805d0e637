// The fixed phrases, checked code point by code point: fullwidth forms, the ideographic space
// and their ASCII look-alikes must never be mixed up.
#include "compose/catalogues.h"

#include <QTest>

class TestCatalogues final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void decorations_data();
    void decorations();
    void issueLabels_data();
    void issueLabels();
    void closingLines_data();
    void closingLines();
};

static QString repeat(std::initializer_list<char16_t> unit, int times)
{
    QString s;
    for (int i = 0; i < times; ++i)
        for (char16_t c : unit)
            s += QChar(c);
    return s;
}

void TestCatalogues::decorations_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");
    QTest::newRow("black squares") << 0 << repeat({ 0x25A0 }, 6);
    QTest::newRow("alternating squares") << 1 << repeat({ 0x25A0, 0x25A1 }, 4);
    QTest::newRow("white squares") << 2 << repeat({ 0x25A1 }, 12);
    QTest::newRow("fullwidth reverse solidus, ASCII bar") << 3 << repeat({ 0xFF3C, 0x7C }, 6);
    QTest::newRow("fullwidth solidus, ASCII bar") << 4 << repeat({ 0xFF0F, 0x7C }, 6);
    QTest::newRow("angles") << 5 << repeat({ 0x2220 }, 8);
    QTest::newRow("capital psi") << 6 << repeat({ 0x03A8 }, 10);
    QTest::newRow("reference marks") << 7 << repeat({ 0x203B }, 20);
    QTest::newRow("notes") << 8 << repeat({ 0x266A }, 10);
    QTest::newRow("ASCII number signs") << 9 << repeat({ 0x23 }, 15);
    QTest::newRow("ASCII at signs") << 10 << repeat({ 0x40 }, 10);
    QTest::newRow("opening parentheses") << 11 << repeat({ 0x28 }, 20);
    QTest::newRow("closing parentheses") << 12 << repeat({ 0x29 }, 20);
    QTest::newRow("omega") << 13 << repeat({ 0x03A9 }, 10);
    QTest::newRow("small psi") << 14 << repeat({ 0x03C8 }, 10);
    QTest::newRow("daggers") << 15 << repeat({ 0x2020 }, 15);
}

void TestCatalogues::decorations()
{
    QFETCH(int, index);
    QFETCH(QString, expected);
    const QStringList all = Catalogues::decorations();
    QCOMPARE(all.size(), 16);
    QCOMPARE(all.at(index), expected);
}

void TestCatalogues::issueLabels_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");
    const QString quoted = QChar(0x22) + QStringView(u"タイトル名を入れて下さい").toString()
            + QChar(0x22);
    QTest::newRow("weekly") << 0 << QStringLiteral("週間");
    QTest::newRow("monthly") << 1 << QStringLiteral("月間");
    const char16_t digits[] = u"０１２３４５６７８９";
    for (int month = 1; month <= 12; ++month) {
        QString number;
        for (QChar c : QString::number(month))
            number += QChar(digits[c.digitValue()]);
        QTest::addRow("month %d", month) << month + 1 << quoted + number + u"月号"_qs;
    }
    QTest::newRow("special") << 14 << quoted + u"特大号"_qs;
    QTest::newRow("emergency") << 15 << quoted + u"緊急配信"_qs;
    QTest::newRow("extra, ideographic space")
            << 16 << quoted + QChar(0x53F7) + QChar(0x3000) + QChar(0x5916);
}

void TestCatalogues::issueLabels()
{
    QFETCH(int, index);
    QFETCH(QString, expected);
    const QStringList all = Catalogues::issueLabels();
    QCOMPARE(all.size(), 17);
    QCOMPARE(all.at(index), expected);
    if (index == 11)
        QCOMPARE(all.at(index).size(), 18);
}

void TestCatalogues::closingLines_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("length");
    QTest::newRow("next issue") << 0 << u"次回をお楽しみに！"_qs << 48;
    QTest::newRow("unsubscribe") << 1 << u"配信中止はE-mailで受け付けます！"_qs << 58;
}

void TestCatalogues::closingLines()
{
    QFETCH(int, index);
    QFETCH(QString, message);
    QFETCH(int, length);
    const QChar ideographicSpace(0x3000);
    const QString expected = QString(5, u'-') + ideographicSpace + message + ideographicSpace
            + QString(12, u'-') + ideographicSpace + u"END"_qs + ideographicSpace
            + QString(15, u'-');
    const QString entry = Catalogues::closingLines().at(index);
    QCOMPARE(entry, expected);
    QCOMPARE(entry.size(), length);
    QVERIFY(entry.contains(QChar(0xFF01)));
    QVERIFY(!entry.contains(u'!'));
}

QTEST_GUILESS_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
