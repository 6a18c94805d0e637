// "フォント指定" on the main window, with a font dialog that records what is asked of it: the
// order of the dialog operations, and that the choice styles the document box and nothing else.
#include "app/form1.h"
#include "fakes.h"
#include "platform/fontdialog.h"
#include "platform/textbox.h"

#include <QPushButton>
#include <QTest>
#include <limits>

Q_DECLARE_METATYPE(FontChoice)

class TestForm1Font final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void dialogOperationsInOrder();
    void onlyTheDocumentBoxTakesTheChoice_data();
    void onlyTheDocumentBoxTakesTheChoice();
    void assemblyAndClearAllKeepTheChoice();
    void refusedValueReachesTopLevel_data();
    void refusedValueReachesTopLevel();

private:
    // Clicks "フォント指定" with the dialog handing back c.
    void choose(const FontChoice &c)
    {
        FakeCommonDialog &d = m_fakes->fontDialog;
        d.name = c.name;
        d.size = c.size;
        d.bold = c.bold;
        d.italic = c.italic;
        d.strikethru = c.strikethru;
        d.underline = c.underline;
        d.colour = c.colour;
        QTest::mouseClick(m_form->findChild<QPushButton *>(u"Command8"_qs), Qt::LeftButton);
    }

    std::unique_ptr<FakeServices> m_fakes;
    std::unique_ptr<Form1> m_form;
    TextBox *m_text = nullptr;
};

namespace {

const FontChoice RedSerif { u"DejaVu Serif"_qs, 15.75f, true, false, false, true, 0x0000FF };

} // namespace

void TestForm1Font::init()
{
    m_fakes = std::make_unique<FakeServices>();
    m_form = std::make_unique<Form1>(m_fakes->services(), nullptr);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_text = m_form->findChild<TextBox *>(u"Text"_qs);
    QVERIFY(m_text);
}

void TestForm1Font::cleanup()
{
    m_form.reset();
    m_fakes.reset();
}

void TestForm1Font::dialogOperationsInOrder()
{
    choose(RedSerif);
    const QStringList expected { u"Flags=259"_qs,      u"ShowFont"_qs,      u"FontName"_qs,
                                 u"FontSize"_qs,       u"FontBold"_qs,      u"FontItalic"_qs,
                                 u"FontStrikethru"_qs, u"FontUnderline"_qs, u"Color"_qs };
    QCOMPARE(m_fakes->fontDialog.log, expected);
}

void TestForm1Font::onlyTheDocumentBoxTakesTheChoice_data()
{
    QTest::addColumn<FontChoice>("choice");
    QTest::addColumn<QColor>("textColour");
    QTest::newRow("every style, red")
        << FontChoice { u"DejaVu Serif"_qs, 14.0f, true, true, true, true, 0x0000FF }
        << QColor(255, 0, 0);
    QTest::newRow("half point, italic, blue")
        << FontChoice { u"IPAMincho"_qs, 10.5f, false, true, false, false, 0xFF0000 }
        << QColor(0, 0, 255);
    QTest::newRow("underline, olive")
        << FontChoice { u"DejaVu Sans Mono"_qs, 72.0f, false, false, false, true, 0x008080 }
        << QColor(128, 128, 0);
}

void TestForm1Font::onlyTheDocumentBoxTakesTheChoice()
{
    QFETCH(FontChoice, choice);
    QFETCH(QColor, textColour);
    const QString document = u"１行目\u3000\u00A0end\r\n\r\n２行目 "_qs;
    m_text->setText(document);
    QHash<QWidget *, std::pair<QFont, QPalette>> others;
    for (QWidget *w : m_form->findChildren<QWidget *>()) {
        if (w != m_text && !m_text->isAncestorOf(w))
            others.insert(w, { w->font(), w->palette() });
    }

    choose(choice);

    QVERIFY(m_fakes->messageBox.shown.isEmpty());
    const QFont font = m_text->font();
    QCOMPARE(font.families().value(0), choice.name);
    QCOMPARE(font.pointSizeF(), qreal(choice.size));
    QCOMPARE(font.bold(), choice.bold);
    QCOMPARE(font.italic(), choice.italic);
    QCOMPARE(font.strikeOut(), choice.strikethru);
    QCOMPARE(font.underline(), choice.underline);
    QCOMPARE(m_text->palette().color(QPalette::Text), textColour);
    QCOMPARE(m_text->text(), document);
    QVERIFY(others.contains(m_form->findChild<QWidget *>(u"Text7"_qs)));
    for (auto it = others.cbegin(); it != others.cend(); ++it) {
        QVERIFY2(it.key()->font() == it->first, qPrintable(it.key()->objectName()));
        QVERIFY2(it.key()->palette() == it->second, qPrintable(it.key()->objectName()));
    }
}

void TestForm1Font::assemblyAndClearAllKeepTheChoice()
{
    choose(RedSerif);
    const QFont chosen = m_text->font();
    QCOMPARE(chosen.families().value(0), RedSerif.name);
    for (const char16_t *command : { u"Command3", u"Command5" }) {
        QTest::mouseClick(m_form->findChild<QPushButton *>(QString::fromUtf16(command)),
                          Qt::LeftButton);
        QCOMPARE(m_text->font(), chosen);
        QCOMPARE(m_text->palette().color(QPalette::Text), QColor(255, 0, 0));
    }
    QCOMPARE(m_text->text(), QString());
}

void TestForm1Font::refusedValueReachesTopLevel_data()
{
    QTest::addColumn<FontChoice>("choice");
    const QString face = u"DejaVu Sans"_qs;
    QTest::newRow("size 0") << FontChoice { face, 0.0f };
    QTest::newRow("negative size") << FontChoice { face, -9.0f };
    QTest::newRow("size not a number")
        << FontChoice { face, std::numeric_limits<float>::quiet_NaN() };
    QTest::newRow("empty face") << FontChoice { QString(), 9.0f };
    QTest::newRow("colour beyond 24 bits")
        << FontChoice { face, 9.0f, false, false, false, false, 0x01000000 };
}

void TestForm1Font::refusedValueReachesTopLevel()
{
    QFETCH(FontChoice, choice);
    choose(RedSerif);
    const QFont before = m_text->font();

    choose(choice);
    QCOMPARE(m_fakes->messageBox.shown.size(), 1);
    QCOMPARE(m_fakes->messageBox.shown.first().title, u"Zelvora"_qs);
    QVERIFY(m_fakes->messageBox.shown.first().prompt.contains(u"380"_qs));
    QCOMPARE(m_text->font(), before);
    QCOMPARE(m_text->palette().color(QPalette::Text), QColor(255, 0, 0));

    // The window is still there and takes a usable choice afterwards.
    QVERIFY(m_form->isVisible());
    choose({ u"IPAGothic"_qs, 12.0f, false, false, false, false, 0x800000 });
    QCOMPARE(m_fakes->messageBox.shown.size(), 1);
    QCOMPARE(m_text->font().families().value(0), u"IPAGothic"_qs);
    QCOMPARE(m_text->palette().color(QPalette::Text), QColor(0, 0, 128));
}

QTEST_MAIN(TestForm1Font)
#include "tst_form1font.moc"
