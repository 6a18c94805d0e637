// The real dialogs: the font dialog driven by clicks, Command8 with a fake one, and the message
// boxes the warnings and the top-level handling are shown in.
#include "fakes.h"
#include "fontdialog.h"
#include "form1.h"
#include "qtcommondialog.h"
#include "qtmessagebox.h"
#include "textbox.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(FontChoice)

template<typename T = QWidget> T *child(QObject *parent, const char *name)
{
    return parent->findChild<T *>(QString::fromLatin1(name));
}

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
        const char16_t *styles[] = { u"標準", u"斜体", u"太字", u"太字 斜体" };
        clickItem("faceList", c.name);
        clickItem("styleList", QString::fromUtf16(styles[2 * c.bold + c.italic]));
        clickItem("sizeList", QString::number(c.size));
        const bool effects = child(dialog, "effectsGroup") != nullptr;
        for (auto [box, on] :
             { std::pair("strikethruCheck", c.strikethru), { "underlineCheck", c.underline } })
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
        QTest::addColumn<int>("style");
        QTest::addColumn<QMessageBox::Icon>("icon");
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

    void realDialog()
    {
        const FontChoice chosen { u"DejaVu Serif"_s, 72, false, true, false, true, 0x800000 };
        QtCommonDialog d;
        d.setFlags(259);
        QCOMPARE(pick(d, chosen, u"ネイビー"_s, "okButton"), chosen);
        d.setFlags(3); // screen and printer fonts
        QCOMPARE(pick(d, { u"DejaVu Sans"_s, 14 }, {}, "cancelButton"), chosen);
    }

    void okOnlyForListedFace_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ok");
        QTest::newRow("listed, in other case") << u"dejavu serif"_s << true;
        QTest::newRow("start of listed faces") << u"DejaVu"_s << false;
        QTest::newRow("not installed") << u"Zelvora Nowhere"_s << false;
    }
    // OK takes only a face the list offers, however the face field was filled.
    void okOnlyForListedFace()
    {
        FontDialog dialog(CommonDialog::ScreenFonts);
        dialog.show();
        QFETCH(QString, typed);
        QTest::keyClicks(child(&dialog, "faceEdit"), typed);
        QTEST(child(&dialog, "okButton")->isEnabled(), "ok");
    }

    void command8_data()
    {
        QTest::addColumn<FontChoice>("choice");
        QTest::addColumn<QColor>("colour"); // none: the document box refuses the choice
        QTest::newRow("bold, strikethrough, half point, red")
            << FontChoice { u"Sans"_s, 10.5, true, false, true, false, 0x0000FF }
            << QColor(0xFF0000);
        QTest::newRow("italic, underline, white")
            << FontChoice { u"Serif"_s, 12, false, true, false, true, 0xFFFFFF }
            << QColor(Qt::white);
        QTest::newRow("size NaN") << FontChoice { u"Serif"_s, float(qQNaN()) } << QColor();
        QTest::newRow("empty face") << FontChoice { QString(), 9 } << QColor();
        QTest::newRow("colour > 24 bits")
            << FontChoice { .name = u"Serif"_s, .colour = 1 << 24 } << QColor();
    }
    void command8()
    {
        QFETCH(FontChoice, choice);
        QFETCH(QColor, colour);
        FakeServices fakes;
        Form1 form(fakes.services(), nullptr);
        auto text = child<TextBox>(&form, "Text");
        const QString document = u"１行目\u3000\u00A0end\r\n\r\n２行目 "_s;
        text->setText(document);
        // Only the document box takes a choice, and only one it does not refuse.
        QHash<QWidget *, std::pair<QFont, QPalette>> kept;
        for (QWidget *w : form.findChildren<QWidget *>())
            if (!colour.isValid() || (w != text && !text->isAncestorOf(w)))
                kept.insert(w, { w->font(), w->palette() });
        fakes.fontDialog.choice = choice;
        QTest::mouseClick(child(&form, "Command8"), Qt::LeftButton);
        QCOMPARE(text->text(), document);
        for (auto [w, looks] : kept.asKeyValueRange())
            QVERIFY2(std::pair(w->font(), w->palette()) == looks, qPrintable(w->objectName()));
        QCOMPARE(fakes.messageBox.shown.size(), qsizetype(!colour.isValid())); // top-level handling
        for (const auto &box : fakes.messageBox.shown)
            QVERIFY(box.title == u"Zelvora"_s && box.prompt.contains(u"380"_s));
        const QFont font = text->font();
        const QPalette palette = text->palette();
        if (colour.isValid()) {
            QCOMPARE(fakes.fontDialog.flags(), 259);
            QCOMPARE(fakes.fontDialog.shown, 1);
            QCOMPARE(
                (FontChoice { font.families().value(0), float(font.pointSizeF()), font.bold(),
                              font.italic(), font.strikeOut(), font.underline(), choice.colour }),
                choice);
            QCOMPARE(palette.color(QPalette::Text), colour);
        }
        // Assembly and clear all keep the font; after a refused choice the program runs on.
        for (const char *command : { "Command3", "Command5" }) {
            QTest::mouseClick(child(&form, command), Qt::LeftButton);
            QVERIFY(text->font() == font && text->palette() == palette);
        }
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
