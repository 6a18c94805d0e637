// The real dialogs: the font dialog driven by clicks and typing, and the message boxes.
#include "fontdialog.h"
#include "qtcommondialog.h"
#include "qtmessagebox.h"
#include "windowtest.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

// Picks c in the dialog as a user would, then clicks button; gives back the values it then holds.
FontChoice pick(QtCommonDialog &d, const FontChoice &c, const QString &colour, const char *button)
{
    QObject context;
    QTimer::singleShot(0, &context, [&] {
        auto dialog = qobject_cast<FontDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        const auto clickItem = [&](const char *list, const QString &text) {
            auto v = child<QListWidget>(dialog, list);
            QListWidgetItem *item = v->findItems(text, Qt::MatchExactly).value(0);
            v->scrollToItem(item);
            QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualItemRect(item).center());
        };
        clickItem("faceList", c.name());
        clickItem("styleList", u"標準|斜体|太字|太字 斜体"_s.split(u'|').at(2 * c.bold + c.italic));
        clickItem("sizeList", QString::number(c.size));
        const bool effects = child(dialog, "effectsGroup") != nullptr;
        for (auto [box, on] :
             { std::pair("strikethruCheck", c.strikeOut), { "underlineCheck", c.underline } })
            if (effects && on)
                QTest::keyClick(child(dialog, box), Qt::Key_Space);
        auto combo = child<QComboBox>(dialog, "colourCombo");
        for (int i = 0; effects && i < 16 && combo->currentText() != colour; ++i)
            QTest::keyClick(combo, Qt::Key_Down);
        QTest::mouseClick(child(dialog, button), Qt::LeftButton);
        QCOMPARE(effects, (d.flags() & 256) != 0); // the effects only with flag 256
    });
    d.showFont();
    return d.font();
}

class TestDialogs final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void messageBox_data()
    {
        columns<int, QMessageBox::Icon>({ "style", "icon" });
        QTest::newRow("warning") << 48 << QMessageBox::Warning;
        QTest::newRow("top-level error") << 16 << QMessageBox::Critical;
    }
    // The icon of the style, the title, each CR a line break, and one OK button.
    void messageBox()
    {
        QFETCH(int, style);
        QString seen;
        QTimer::singleShot(0, this, [&] {
            auto box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            QTEST(box->icon(), "icon");
            seen = box->windowTitle() + u'|' + box->text();
            QCOMPARE(box->buttons().size(), 1);
            QTest::keyClick(box, Qt::Key_Enter);
        });
        QCOMPARE(QtMessageBox().show(u"32014\r宛先が\r\n不明"_s, style, u"Zelvora"_s), 1);
        QCOMPARE(seen, u"Zelvora|32014\n宛先が\n不明"_s);
    }

    // The font dialog gives back what the user picked, and keeps it when cancelled.
    void realDialog()
    {
        const FontChoice chosen { { u"DejaVu Serif"_s }, 72, false, true, false, true, 0x800000 };
        QtCommonDialog d;
        d.setFlags(259);
        QCOMPARE(pick(d, chosen, u"ネイビー"_s, "okButton"), chosen);
        d.setFlags(3); // screen and printer fonts
        QCOMPARE(pick(d, { { u"DejaVu Sans"_s }, 14 }, {}, "cancelButton"), chosen);
        // OK waits for a face the list offers: not the start of one, nor one not installed.
        FontDialog dialog(CommonDialog::ScreenFonts);
        for (const QString &face : { u"DejaVu"_s, u"Zelvora Nowhere"_s }) {
            dialog.setChoice({ { face } });
            QVERIFY2(!child(&dialog, "okButton")->isEnabled(), qPrintable(face));
        }
    }

    // The sample stands out (4.5 : 1, WCAG 2) in each colour of the list, under a dark scheme too.
    void sampleStandsOut()
    {
        const auto restore
            = qScopeGuard([p = QApplication::palette()] { QApplication::setPalette(p); });
        QApplication::setPalette(QPalette(QColor(0x30, 0x2f, 0x2e)));
        FontDialog dialog(CommonDialog::ScreenFonts | CommonDialog::Effects);
        for (const FontDialog::NamedColour &colour : FontDialog::StandardColours) {
            dialog.setChoice(
                { { u"DejaVu Sans"_s }, 12, false, false, false, false, colour.value });
            const QPalette p = child<QLabel>(&dialog, "sampleText")->palette();
            QVERIFY2(contrast(p.color(QPalette::WindowText), p.color(QPalette::Window)) >= 4.5,
                     qPrintable(QString::fromUtf16(colour.name)));
        }
        // Every control is read out by a name, one that stays whatever a field or list holds.
        QStringList names;
        for (QWidget *w : dialog.findChildren<QWidget *>())
            if (w->focusPolicy() & Qt::TabFocus)
                names << QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        QVERIFY2(!names.contains(QString()), qPrintable(names.join(u'|')));
        QVERIFY(names.contains(u"スタイル"_s) && names.contains(u"スタイルの一覧"_s));
        QAccessibleInterface *colour
            = QAccessible::queryAccessibleInterface(child(&dialog, "colourCombo"));
        QCOMPARE(colour->text(QAccessible::Name) + colour->text(QAccessible::Value), u"色白"_s);
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
