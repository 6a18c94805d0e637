// The real font dialog, driven through clicks and keys while showFont() waits for it, and read
// back through the common-dialog control as the main window reads it.
#include "platform/error.h"
#include "platform/fontdialog.h"
#include "platform/qtcommondialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <memory>

Q_DECLARE_METATYPE(FontChoice)

char *toString(const FontChoice &c)
{
    return qstrdup(qPrintable(u"%1 %2pt bold=%3 italic=%4 strike=%5 underline=%6 colour=%7"_qs
                                  .arg(c.name, QString::number(double(c.size)))
                                  .arg(c.bold)
                                  .arg(c.italic)
                                  .arg(c.strikethru)
                                  .arg(c.underline)
                                  .arg(c.colour, 6, 16, QChar(u'0'))));
}

class TestFontDialog final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void acceptedChoice_data();
    void acceptedChoice();
    void cancelKeepsTheDefaultsThenTheAcceptedChoice();
    void effectsOnlyWithFlag256_data();
    void effectsOnlyWithFlag256();
    void listsTheInstalledFaces_data();
    void listsTheInstalledFaces();
    void noFontFlagsIsAnError();
    void okWaitsForUsableValues_data();
    void okWaitsForUsableValues();
};

namespace {

// The face as the system names it (fontconfig may give a localised family name).
QString installed(const QString &face)
{
    return QFontInfo(QFont(face)).family();
}

template<typename T> T *child(QWidget *dialog, const char *name)
{
    return dialog->findChild<T *>(QString::fromLatin1(name));
}

// Shows the dialog and runs act on it once it is open; closes it if act did not, so a failed
// step never leaves showFont() waiting. False when no dialog opened.
template<typename Act> bool showWith(CommonDialog &commonDialog, Act act)
{
    auto opened = std::make_shared<bool>(false);
    QTimer::singleShot(0, qApp, [opened, act] {
        auto dialog = qobject_cast<FontDialog *>(QApplication::activeModalWidget());
        if (dialog) {
            *opened = true;
            act(dialog);
        }
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto d = qobject_cast<QDialog *>(w); d && d->isVisible())
                d->reject();
        }
    });
    commonDialog.showFont();
    return *opened;
}

void clickItem(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->scrollToItem(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(found.first()).center());
}

// Clicks a button; a check box on its box, since its label is shorter than the widget.
void clickButton(QWidget *dialog, const char *name)
{
    auto button = child<QAbstractButton>(dialog, name);
    QPoint at = button->rect().center();
    if (auto check = qobject_cast<QCheckBox *>(button)) {
        QStyleOptionButton option;
        option.initFrom(check);
        at = check->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, check).center();
    }
    QTest::mouseClick(button, Qt::LeftButton, {}, at);
}

void typeInto(QLineEdit *edit, const QString &text)
{
    QTest::mouseClick(edit, Qt::LeftButton);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// Opens the colour list with a click and walks to the entry named name with the arrow keys.
void pickColour(QWidget *dialog, const QString &name)
{
    auto combo = child<QComboBox>(dialog, "colourCombo");
    const int target = combo->findText(name);
    QVERIFY2(target >= 0, qPrintable(name));
    QTest::mouseClick(combo, Qt::LeftButton);
    QAbstractItemView *view = combo->view();
    QTRY_VERIFY(view->isVisible());
    for (int i = combo->currentIndex(); i != target; i += i < target ? 1 : -1)
        QTest::keyClick(view, i < target ? Qt::Key_Down : Qt::Key_Up);
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_VERIFY(!view->isVisible());
}

// Picks every value of c as a user would; the size from its list when listed, typed otherwise.
void pick(QWidget *dialog, const FontChoice &c)
{
    clickItem(child<QListWidget>(dialog, "faceList"), c.name);
    const char16_t *styles[] = { u"標準", u"斜体", u"太字", u"太字 斜体" };
    clickItem(child<QListWidget>(dialog, "styleList"),
              QString::fromUtf16(styles[(c.bold ? 2 : 0) + (c.italic ? 1 : 0)]));
    auto sizes = child<QListWidget>(dialog, "sizeList");
    const QString size = QString::number(double(c.size));
    if (!sizes->findItems(size, Qt::MatchExactly).isEmpty())
        clickItem(sizes, size);
    else
        typeInto(child<QLineEdit>(dialog, "sizeEdit"), size);
    if (child<QCheckBox>(dialog, "strikethruCheck")->isChecked() != c.strikethru)
        clickButton(dialog, "strikethruCheck");
    if (child<QCheckBox>(dialog, "underlineCheck")->isChecked() != c.underline)
        clickButton(dialog, "underlineCheck");
    for (const auto &colour : FontDialog::StandardColours) {
        if (colour.value == c.colour)
            pickColour(dialog, QString::fromUtf16(colour.name));
    }
}

FontChoice valuesOf(const CommonDialog &d)
{
    return { d.fontName(),       d.fontSize(),      d.fontBold(), d.fontItalic(),
             d.fontStrikethru(), d.fontUnderline(), d.color() };
}

} // namespace

void TestFontDialog::acceptedChoice_data()
{
    QTest::addColumn<FontChoice>("choice");
    QTest::newRow("every style, red")
        << FontChoice { installed(u"IPAMincho"_qs), 14.0f, true, true, true, true, 0x0000FF };
    QTest::newRow("italic, typed half size, underline, navy")
        << FontChoice { installed(u"DejaVu Serif"_qs), 10.5f, false, true, false, true, 0x800000 };
    QTest::newRow("bold, largest listed size, strikethrough, white") << FontChoice {
        installed(u"DejaVu Sans Mono"_qs), 72.0f, true, false, true, false, 0xFFFFFF
    };
}

void TestFontDialog::acceptedChoice()
{
    QFETCH(FontChoice, choice);
    QtCommonDialog commonDialog;
    commonDialog.setFlags(259);
    QVERIFY(showWith(commonDialog, [&](QWidget *dialog) {
        pick(dialog, choice);
        clickButton(dialog, "okButton");
    }));
    QCOMPARE(valuesOf(commonDialog), choice);
}

void TestFontDialog::cancelKeepsTheDefaultsThenTheAcceptedChoice()
{
    const FontChoice other { installed(u"IPAMincho"_qs), 36.0f, false, true, true, false, 0xFF };
    auto pickThenCancel = [&](QWidget *dialog) {
        pick(dialog, other);
        clickButton(dialog, "cancelButton");
    };
    QtCommonDialog commonDialog;
    commonDialog.setFlags(259);
    QVERIFY(showWith(commonDialog, pickThenCancel));
    // The first installed face of the program's Japanese faces, as the system names it.
    QCOMPARE(valuesOf(commonDialog), (FontChoice { installed(u"IPAPGothic"_qs), 9.0f }));

    const FontChoice accepted {
        installed(u"DejaVu Serif"_qs), 16.0f, true, false, false, true, 0x008000
    };
    QVERIFY(showWith(commonDialog, [&](QWidget *dialog) {
        pick(dialog, accepted);
        clickButton(dialog, "okButton");
    }));
    QVERIFY(showWith(commonDialog, [&](QWidget *dialog) {
        // It opens with the accepted values.
        QCOMPARE(child<QLineEdit>(dialog, "faceEdit")->text(), accepted.name);
        QCOMPARE(child<QLineEdit>(dialog, "styleEdit")->text(), u"太字"_qs);
        QCOMPARE(child<QLineEdit>(dialog, "sizeEdit")->text(), u"16"_qs);
        QVERIFY(child<QCheckBox>(dialog, "underlineCheck")->isChecked());
        QCOMPARE(child<QComboBox>(dialog, "colourCombo")->currentText(), u"緑"_qs);
        pick(dialog, other);
        QTest::keyClick(dialog, Qt::Key_Escape);
    }));
    QCOMPARE(valuesOf(commonDialog), accepted);
    QVERIFY(showWith(commonDialog, pickThenCancel));
    QCOMPARE(valuesOf(commonDialog), accepted);
}

void TestFontDialog::effectsOnlyWithFlag256_data()
{
    QTest::addColumn<qint32>("flags");
    QTest::addColumn<bool>("effects");
    QTest::newRow("screen") << 1 << false;
    QTest::newRow("printer") << 2 << false;
    QTest::newRow("both") << 3 << false;
    QTest::newRow("both, effects") << 259 << true;
}

void TestFontDialog::effectsOnlyWithFlag256()
{
    QFETCH(qint32, flags);
    QFETCH(bool, effects);
    const FontChoice withEffects {
        installed(u"IPAGothic"_qs), 12.0f, false, false, true, true, 0x0000FF
    };
    QtCommonDialog commonDialog;
    commonDialog.setFlags(259);
    QVERIFY(showWith(commonDialog, [&](QWidget *dialog) {
        pick(dialog, withEffects);
        clickButton(dialog, "okButton");
    }));
    commonDialog.setFlags(flags);
    QVERIFY(showWith(commonDialog, [&](QWidget *dialog) {
        auto group = child<QGroupBox>(dialog, "effectsGroup");
        QCOMPARE(group && group->isVisible(), effects);
        clickItem(child<QListWidget>(dialog, "sizeList"), u"20"_qs);
        clickButton(dialog, "okButton");
    }));
    // Effects the dialog did not offer stay as they were.
    FontChoice expected = withEffects;
    expected.size = 20.0f;
    QCOMPARE(valuesOf(commonDialog), expected);
}

void TestFontDialog::listsTheInstalledFaces_data()
{
    QTest::addColumn<qint32>("flags");
    QTest::newRow("screen") << 1;
    QTest::newRow("printer") << 2;
    QTest::newRow("both, effects") << 259;
}

void TestFontDialog::listsTheInstalledFaces()
{
    QFETCH(qint32, flags);
    FontDialog dialog(flags);
    auto list = child<QListWidget>(&dialog, "faceList");
    QSet<QString> listed;
    for (int i = 0; i < list->count(); ++i)
        listed << list->item(i)->text();
    QSet<QString> families;
    for (const QString &family : QFontDatabase::families()) {
        if (!QFontDatabase::isPrivateFamily(family))
            families << family;
    }
    QCOMPARE(listed, families);
    QVERIFY(listed.contains(installed(u"IPAPGothic"_qs)));
}

void TestFontDialog::noFontFlagsIsAnError()
{
    QtCommonDialog commonDialog;
    for (qint32 flags : { 0, 256 }) {
        commonDialog.setFlags(flags);
        try {
            showWith(commonDialog, [](QWidget *) {});
            QFAIL("no error");
        } catch (const Error &e) {
            QCOMPARE(e.number, 24574);
        }
        // Runs the step showWith() left behind, while there is no dialog for it to close.
        QCoreApplication::processEvents();
    }
}

void TestFontDialog::okWaitsForUsableValues_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("size");
    const QString face = installed(u"DejaVu Sans"_qs);
    QTest::newRow("unknown face") << u"No Such Face 123"_qs << u"11"_qs;
    QTest::newRow("empty face") << QString() << u"11"_qs;
    QTest::newRow("size 0") << face << u"0"_qs;
    QTest::newRow("size too large") << face << u"1639"_qs;
    QTest::newRow("size not a number") << face << u"abc"_qs;
}

void TestFontDialog::okWaitsForUsableValues()
{
    QFETCH(QString, face);
    QFETCH(QString, size);
    QtCommonDialog commonDialog;
    commonDialog.setFlags(259);
    const FontChoice before = valuesOf(commonDialog);
    QVERIFY(showWith(commonDialog, [&](QWidget *dialog) {
        typeInto(child<QLineEdit>(dialog, "faceEdit"), face);
        typeInto(child<QLineEdit>(dialog, "sizeEdit"), size);
        QVERIFY(!child<QPushButton>(dialog, "okButton")->isEnabled());
        QTest::keyClick(dialog, Qt::Key_Return);
    }));
    QCOMPARE(valuesOf(commonDialog), before);
}

QTEST_MAIN(TestFontDialog)
#include "tst_fontdialog.moc"
