// The windows for every user: names a screen reader reads, Enter on buttons, the designed
// colours under any desktop scheme, and copying that hands out every character the box holds.
#include "form1.h"
#include "form3.h"

#include "fakes.h"
#include "textbox.h"

#include <QAccessible>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>

using namespace Qt::StringLiterals;

class TestAccess final : public QObject
{
    Q_OBJECT

    FakeServices m_fakes;
    std::unique_ptr<Form1> m_form1;
    std::unique_ptr<Form3> m_form3;

    // "Form1/Text7": that control with the focus, its window shown and active.
    QWidget *shown(const QString &path)
    {
        QWidget *window
            = path.startsWith(u"Form1"_s) ? static_cast<QWidget *>(m_form1.get()) : m_form3.get();
        window->show();
        (void)QTest::qWaitForWindowActive(window); // if it is not, the checks after this fail
        QWidget *w
            = path.contains(u'/') ? window->findChild<QWidget *>(path.section(u'/', 1)) : window;
        w->setFocus();
        return w;
    }
    static QString name(QObject *o)
    {
        return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name);
    }
    // The contrast of a control's text with its background (WCAG 2, sRGB taken as gamma 2.2).
    // Palettes pass down to the controls: a label's background is its filled container's.
    static double contrast(QWidget *w)
    {
        auto luminance = [w](QPalette::ColorRole role) {
            const QColor c = w->palette().color(role);
            return 0.2126 * std::pow(c.redF(), 2.2) + 0.7152 * std::pow(c.greenF(), 2.2)
                + 0.0722 * std::pow(c.blueF(), 2.2) + 0.05;
        };
        const auto [low, high]
            = std::minmax({ luminance(w->foregroundRole()), luminance(w->backgroundRole()) });
        return high / low;
    }

private Q_SLOTS:
    void init() // the windows of the test before are destroyed here
    {
        m_form1 = std::make_unique<Form1>(m_fakes.services(), nullptr);
        m_form3 = std::make_unique<Form3>(m_fakes.services(), nullptr);
    }

    // Every control that takes the focus is named; a heading is tied to its field and names it.
    void names_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("headings"); // field:label ...
        QTest::addColumn<QStringList>("named"); // control=name, with an entry chosen in each combo
        QTest::newRow("main window") << u"Form1"_s
                                     << u"Text1:Label1 Text2:Label3 Text3:Label2 Text6:Label4 "
                                        u"Text7:Label5 Text8:Label6 Text10:Label7"_s
                                     << QStringList { u"Combo1=発行号"_s, u"Combo2=フッタ部"_s,
                                                      u"Command6=終了 (^0^)/~~see you !"_s };
        QTest::newRow("version window") << u"Form3"_s << QString() << QStringList();
    }
    void names()
    {
        QFETCH(QString, window);
        QFETCH(QString, headings);
        QFETCH(QStringList, named);
        QWidget *form = shown(window);
        for (auto combo : form->findChildren<QComboBox *>())
            combo->setCurrentIndex(1);
        for (const QString &pair : named)
            QCOMPARE(name(form->findChild<QWidget *>(pair.section(u'=', 0, 0))),
                     pair.section(u'=', 1));
        for (QWidget *w : form->findChildren<QWidget *>()) {
            if (w->isVisibleTo(form) && (w->focusPolicy() & Qt::TabFocus))
                QVERIFY2(!name(w).isEmpty(), qPrintable(w->objectName()));
        }
        for (const QString &pair : headings.split(u' ', Qt::SkipEmptyParts)) {
            auto label = form->findChild<QLabel *>(pair.section(u':', 1));
            QCOMPARE(label->buddy(), form->findChild<QWidget *>(pair.section(u':', 0, 0)));
            QCOMPARE(name(label->buddy()), label->text());
        }
        if (auto blank = form->findChild<QAction *>(u"mnuHeee"_s))
            QVERIFY(blank->text().isEmpty() && !name(blank).isEmpty());
    }

    // Enter presses the focused button, in either window, and breaks the line in a text box.
    void enter_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("document"); // the document box's first characters afterwards
        const Qt::KeyboardModifiers none, keypad(Qt::KeypadModifier);
        QTest::newRow("作成文書の表示") << u"Form1/Command3"_s << none << u"\r\nHomepage"_s;
        QTest::newRow("作成文書の消去, keypad") << u"Form1/Command4"_s << keypad << QString();
        QTest::newRow("in the document box") << u"Form1/Text"_s << none << u"\r\nab"_s;
        QTest::newRow("Shift+Enter in the document box")
            << u"Form1/Text"_s << Qt::KeyboardModifiers(Qt::ShiftModifier) << u"\r\nab"_s;
        QTest::newRow("version window's OK") << u"Form3/Command3"_s << none << u"ab"_s;
    }
    void enter()
    {
        QFETCH(QString, focus);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, document);
        auto box = m_form1->findChild<TextBox *>(u"Text"_s);
        box->setText(u"ab"_s);
        QWidget *w = shown(focus);
        QTest::keyClick(w->window()->windowHandle(), modifiers ? Qt::Key_Enter : Qt::Key_Return,
                        modifiers);
        QCOMPARE(box->text().left(10), document);
        QVERIFY(!m_form3->isVisible()); // closed by its OK button; never shown in the other rows
        for (auto button : w->window()->findChildren<QPushButton *>())
            QVERIFY(!button->isDefault());
    }

    // Every button with a colour in its window's design is filled with exactly that colour, read
    // inside the two-pixel bevel and outside the focus rectangle.
    void colours()
    {
        for (const auto &[window, design] :
             { std::pair(u"Form1/"_s, Form1::design()), { u"Form3/"_s, Form3::design() } })
            for (const FormDesign::Control &row : design)
                if (row.kind == FormDesign::Kind::Button && row.background)
                    QCOMPARE(QColor(shown(window + QString::fromLatin1(row.name))
                                        ->grab()
                                        .toImage()
                                        .pixel(3, 3)),
                             QColor(*row.background));
    }

    // Under a dark desktop scheme and another widget style, every text keeps a contrast of
    // 4.5 : 1 with what is behind it, and the whole date shows in its narrow box (inside a
    // frame of one pixel and a margin of two, either side).
    void darkDesktop()
    {
        auto restore = qScopeGuard([desktop = QApplication::palette()] {
            QApplication::setPalette(desktop);
            QApplication::setStyle(u"Fusion"_s);
        });
        QApplication::setStyle(u"Windows"_s);
        QApplication::setPalette(QPalette(QColor(0x42, 0x42, 0x45), QColor(0x30, 0x2f, 0x2e)));
        init();
        for (QWidget *window : { (QWidget *)m_form1.get(), (QWidget *)m_form3.get() })
            for (QWidget *w : window->findChildren<QWidget *>())
                if (w->isVisibleTo(window))
                    QVERIFY2(contrast(w) >= 4.5, qPrintable(w->objectName()));
        auto date = m_form1->findChild<QLineEdit *>(u"Text9"_s);
        date->setText(u"2026/12/07"_s);
        QVERIFY(QFontMetrics(date->font()).horizontalAdvance(date->text()) <= date->width() - 6);
    }

    void copy_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("key");
        QTest::newRow("document box, copy") << u"Form1/Text"_s << int(Qt::Key_C);
        QTest::newRow("body, cut") << u"Form1/Text7"_s << int(Qt::Key_X);
        QTest::newRow("one-line box, copy") << u"Form1/Text2"_s << int(Qt::Key_C);
    }
    void copy()
    {
        QFETCH(QString, box);
        QFETCH(int, key);
        QWidget *w = shown(box);
        const QString value = u"a\u00A0b\u2028c\u3000d\r\ne"_s;
        ControlText::setText(w, value);
        QApplication::clipboard()->clear();
        for (Qt::Key k : { Qt::Key_A, Qt::Key(key) }) // select all, then copy or cut
            QTest::keyClick(w->window()->windowHandle(), k, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), value);
    }
};

QTEST_MAIN(TestAccess)
#include "tst_access.moc"
