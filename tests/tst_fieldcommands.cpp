// The buttons that fill and clear fields: decorations, the issue line, erase and clear all.
#include "app/form1.h"
#include "compose/catalogues.h"
#include "fakes.h"
#include "platform/textbox.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

class TestFieldCommands final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void decoration_data();
    void decoration();
    void inputSupport_data();
    void inputSupport();
    void eraseThenRebuild();
    void clearAll();

private:
    QWidget *get(const QString &name) const
    {
        auto w = m_form->findChild<QWidget *>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QString text(const QString &name) const { return ControlText::text(get(name)); }
    void setText(const QString &name, const QString &t) { ControlText::setText(get(name), t); }
    void click(const QString &name)
    {
        QTest::mouseClick(static_cast<QPushButton *>(get(name)), Qt::LeftButton);
    }
    void select(int row)
    {
        auto list = static_cast<QListWidget *>(get(u"List1"_qs));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }

    std::unique_ptr<FakeServices> m_fakes;
    std::unique_ptr<Form1> m_form;
};

void TestFieldCommands::init()
{
    m_fakes = std::make_unique<FakeServices>();
    m_form = std::make_unique<Form1>(m_fakes->services(), nullptr);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestFieldCommands::cleanup()
{
    QVERIFY(m_fakes->messageBox.shown.isEmpty());
    m_form.reset();
    m_fakes.reset();
}

void TestFieldCommands::decoration_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("other");
    QTest::newRow("始めに入力") << u"Command1"_qs << u"Text1"_qs << u"Text3"_qs;
    QTest::newRow("終わりに入力") << u"Command2"_qs << u"Text3"_qs << u"Text1"_qs;
}

void TestFieldCommands::decoration()
{
    QFETCH(QString, button);
    QFETCH(QString, target);
    QFETCH(QString, other);
    setText(target, u"old"_qs);
    setText(other, u"kept"_qs);

    // Nothing selected: the field is emptied.
    click(button);
    QCOMPARE(text(target), QString());

    // The decoration replaces the whole field, and the list keeps its selection.
    setText(target, u"old"_qs);
    select(4);
    click(button);
    QCOMPARE(text(target), Catalogues::decorations().at(4));
    click(button);
    QCOMPARE(text(target), Catalogues::decorations().at(4));
    QCOMPARE(text(u"List1"_qs), Catalogues::decorations().at(4));
    QCOMPARE(text(other), u"kept"_qs);
}

void TestFieldCommands::inputSupport_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<int>("label"); // -1: typed text instead of an entry
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("both empty") << QString() << -1 << QString() << u"\r\n"_qs;
    QTest::newRow("edited date, October label")
        << u"12/24 号外"_qs << 11 << QString()
        << u"12/24 号外\r\n\"タイトル名を入れて下さい\"１０月号"_qs;
    QTest::newRow("typed label") << u"2026/12/06"_qs << -1 << u" 創刊号 "_qs
                                 << u"2026/12/06\r\n 創刊号 "_qs;
}

void TestFieldCommands::inputSupport()
{
    QFETCH(QString, date);
    QFETCH(int, label);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    setText(u"Text9"_qs, date);
    setText(u"Text6"_qs, u"前の内容"_qs);
    if (label >= 0)
        static_cast<QComboBox *>(get(u"Combo1"_qs))->setCurrentIndex(label);
    else
        setText(u"Combo1"_qs, typed);
    click(u"Command7"_qs);
    QCOMPARE(text(u"Text6"_qs), expected);
    QCOMPARE(text(u"Text9"_qs), date);
}

void TestFieldCommands::eraseThenRebuild()
{
    setText(u"Text7"_qs, u"本文\r\n二行目"_qs);
    click(u"Command3"_qs);
    const QString document = text(u"Text"_qs);
    QVERIFY(document.contains(u"本文\r\n二行目"_qs));
    click(u"Command4"_qs);
    QCOMPARE(text(u"Text"_qs), QString());
    QCOMPARE(text(u"Text7"_qs), u"本文\r\n二行目"_qs);
    click(u"Command3"_qs);
    QCOMPARE(text(u"Text"_qs), document);
}

void TestFieldCommands::clearAll()
{
    const QStringList fields { u"Text1"_qs, u"Text2"_qs, u"Text3"_qs, u"Text6"_qs,
                               u"Text7"_qs, u"Text8"_qs, u"Text10"_qs };
    for (const QString &name : fields)
        setText(name, name + u" の内容"_qs);
    setText(u"Text9"_qs, u"2026/12/06"_qs);
    select(2);
    static_cast<QComboBox *>(get(u"Combo1"_qs))->setCurrentIndex(3);
    static_cast<QComboBox *>(get(u"Combo2"_qs))->setCurrentIndex(1);
    const QFont documentFont = get(u"Text"_qs)->font();

    click(u"Command5"_qs);

    for (const QString &name : fields
             + QStringList { u"Text4"_qs, u"Text5"_qs, u"Text11"_qs, u"Combo1"_qs, u"Combo2"_qs,
                             u"Text"_qs })
        QVERIFY2(text(name).isEmpty(), qPrintable(name));
    QCOMPARE(text(u"Text9"_qs), u"2026/12/06"_qs);
    QCOMPARE(text(u"List1"_qs), Catalogues::decorations().at(2));
    QCOMPARE(static_cast<QComboBox *>(get(u"Combo1"_qs))->count(), 17);
    QCOMPARE(static_cast<QComboBox *>(get(u"Combo2"_qs))->count(), 2);
    QCOMPARE(get(u"Text"_qs)->font(), documentFont);

    click(u"Command3"_qs);
    QCOMPARE(text(u"Text"_qs), u"\r\n\r\n\r\n\r\n\r\n"_qs + QString(42, u'-') + u"\r\n\r\n"_qs);
}

QTEST_MAIN(TestFieldCommands)
#include "tst_fieldcommands.moc"
