// The main window as a user meets it: layout read back from the live widgets, text boxes that
// keep every character, the keyboard, menus, the fill and clear buttons, assembly and quitting.
#include "form1.h"
#include "catalogues.h"
#include "fakes.h"
#include "textbox.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestForm1 final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { m_form.reset(); }

    void opensAsDesigned();
    void geometry_data();
    void geometry();
    void styleAndStacking();
    void textRoundTrip_data();
    void textRoundTrip();
    void enterKey_data();
    void enterKey();
    void tabOrder();
    void comboKeepsTypedText();
    void menus();
    void failedLaunchKeepsTheWork();
    void decoration_data();
    void decoration();
    void inputSupport_data();
    void inputSupport();
    void assembleEraseClear();
    void versionWindowIsModal();
    void quit_data();
    void quit();

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
    void click(const QString &name) { QTest::mouseClick(get(name), Qt::LeftButton); }
    QAction *action(const QString &name) const { return m_form->findChild<QAction *>(name); }
    QComboBox *combo(const QString &name) const { return static_cast<QComboBox *>(get(name)); }
    // Japanese is typed through the input method: committed text, as the user sees it.
    void type(const QString &name, const QString &s)
    {
        QWidget *w = get(name);
        if (auto c = qobject_cast<QComboBox *>(w))
            w = c->lineEdit();
        QInputMethodEvent event;
        event.setCommitString(s);
        QApplication::sendEvent(w, &event);
    }
    void select(int row)
    {
        auto list = static_cast<QListWidget *>(get(u"List1"_qs));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }

    FakeServices m_fakes;
    std::unique_ptr<Form1> m_form;
};

void TestForm1::init()
{
    m_fakes.messageBox.shown.clear();
    m_fakes.launcher = {};
    m_form = std::make_unique<Form1>(m_fakes.services(), nullptr);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestForm1::opensAsDesigned()
{
    QCOMPARE(m_form->windowTitle(), u"Zelvora   Ver1.0"_qs);
    QCOMPARE(m_form->centralWidget()->size(), QSize(687, 576));
    QVERIFY(!(m_form->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(QApplication::focusWidget(), get(u"Text1"_qs));
    QCOMPARE(text(u"Text4"_qs), u"Homepage  :"_qs);
    QCOMPARE(text(u"Text5"_qs), u"E-mail    \u3000 :"_qs);
    QCOMPARE(text(u"Text11"_qs), u"V\uFF08\uFF3E0\uFF3E\uFF09毎度っ\uFF01\u3000by - "_qs);
    QCOMPARE(text(u"Text"_qs), u"作成した文書がこの欄に表示されます。"_qs);
    for (const QString &empty :
         { u"Text1"_qs, u"Text6"_qs, u"Text9"_qs, u"List1"_qs, u"Combo1"_qs, u"Combo2"_qs })
        QVERIFY2(text(empty).isEmpty(), qPrintable(empty));
    QCOMPARE(static_cast<QListWidget *>(get(u"List1"_qs))->count(), 16);
    QCOMPARE(combo(u"Combo1"_qs)->count(), 17);
    QCOMPARE(combo(u"Combo1"_qs)->currentIndex(), -1);
    QCOMPARE(get(u"Text11"_qs)->toolTip(), u"配信者の署名を書くところです"_qs);
    QCOMPARE(static_cast<QLabel *>(get(u"Label5"_qs))->text(), u"本\u3000文"_qs);
}

void TestForm1::geometry_data()
{
    // Rectangles in pixels, worked out by hand from the design's twips.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("Text2") << u"Text2"_qs << QRect(144, 54, 305, 27);
    QTest::newRow("Text11 in Frame3") << u"Text11"_qs << QRect(8, 16, 185, 18);
    QTest::newRow("List1") << u"List1"_qs << QRect(592, 112, 89, 92);
    QTest::newRow("Text") << u"Text"_qs << QRect(16, 384, 441, 185);
    QTest::newRow("Command9") << u"Command9"_qs << QRect(464, 536, 217, 33);
}

void TestForm1::geometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    QCOMPARE(get(name)->geometry(), rect);
    // Resizing the window moves nothing.
    m_form->resize(300, 200);
    QCOMPARE(get(name)->geometry(), rect);
}

void TestForm1::styleAndStacking()
{
    auto colour = [&](const QString &name, QPalette::ColorRole role) {
        return get(name)->palette().color(role);
    };
    QCOMPARE(get(u"Text11"_qs)->parentWidget(), get(u"Frame3"_qs));
    QCOMPARE(m_form->centralWidget()->palette().color(QPalette::Window), QColor(192, 192, 192));
    QCOMPARE(colour(u"Text7"_qs, QPalette::Base), QColor(0, 0, 0));
    QCOMPARE(colour(u"Text7"_qs, QPalette::Text), QColor(255, 255, 0));
    QCOMPARE(colour(u"Combo1"_qs, QPalette::Base), QColor(255, 224, 192));
    QCOMPARE(colour(u"Command8"_qs, QPalette::Button), QColor(192, 255, 255));
    QCOMPARE(colour(u"Frame3"_qs, QPalette::WindowText), QColor(255, 255, 0));
    QCOMPARE(get(u"Text1"_qs)->font().families().value(0), u"ＭＳ Ｐゴシック"_qs);
    QCOMPARE(get(u"Text1"_qs)->font().pointSizeF(), 8.25);
    QCOMPARE(get(u"Text7"_qs)->font().pointSizeF(), 9.75);
    QCOMPARE(get(u"Text4"_qs)->font().pointSizeF(), 9.0);
    QCOMPARE(static_cast<QLineEdit *>(get(u"Text2"_qs))->alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignHCenter);
    QVERIFY(get(u"Label1"_qs)->height() <= 16); // sized to one line of its text

    const QObjectList order = m_form->centralWidget()->children();
    auto z = [&](const char16_t *name) { return order.indexOf(get(QString::fromUtf16(name))); };
    QVERIFY(z(u"Frame1") < z(u"Text1") && z(u"Frame2") < z(u"Combo2"));
    QVERIFY(z(u"Combo1") > z(u"Text9") && z(u"Combo1") > z(u"Text6"));
    QVERIFY(z(u"Command7") > z(u"Text6"));
}

void TestForm1::textRoundTrip_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("value");
    const QString tricky = u"a\u00A0b\u2028c\u3000ＡＢＣ！？\uFF5E~ -- "_qs;
    for (const char *box : { "Text1", "Text11", "Text6", "Text7", "Text", "Combo1" })
        QTest::addRow("%s: no-break, line separator, fullwidth", box)
            << QString::fromLatin1(box) << tricky;
    for (const char *box : { "Text6", "Text7", "Text" })
        QTest::addRow("%s: lines", box) << QString::fromLatin1(box) << u"\r\n一\r\n\r\n 二 \r\n"_qs;
}

void TestForm1::textRoundTrip()
{
    QFETCH(QString, box);
    QFETCH(QString, value);
    setText(box, value);
    QCOMPARE(text(box), value);
}

void TestForm1::enterKey_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("expected");
    for (const char *box : { "Text6", "Text7", "Text" }) {
        QTest::addRow("%s Enter", box)
            << QString::fromLatin1(box) << Qt::KeyboardModifiers() << u"ab\r\ncd"_qs;
        QTest::addRow("%s Shift+Enter", box)
            << QString::fromLatin1(box) << Qt::KeyboardModifiers(Qt::ShiftModifier)
            << u"ab\r\ncd"_qs;
    }
    QTest::newRow("one-line box") << u"Text2"_qs << Qt::KeyboardModifiers() << u"abcd"_qs;
}

void TestForm1::enterKey()
{
    QFETCH(QString, box);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, expected);
    setText(box, QString());
    get(box)->setFocus();
    QTest::keyClicks(get(box), u"ab"_qs);
    QTest::keyClick(get(box), Qt::Key_Return, modifiers);
    QTest::keyClicks(get(box), u"cd"_qs);
    QCOMPARE(text(box), expected);
}

void TestForm1::tabOrder()
{
    const QStringList expected
        = QStringLiteral(
              "Text1 List1 Command1 Text2 Text3 Command2 Command3 Command4 Text4 Text5 Text6 Text7 "
              "Command6 Text Text9 Command7 Text11 Combo1 Combo2 Command9 Command8 Command5 Text8 "
              "Text10 Text1")
              .split(u' ');
    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
        QWidget *focus = QApplication::focusWidget();
        // An editable combo's line edit holds the focus for it.
        if (qobject_cast<QComboBox *>(focus->parentWidget()))
            focus = focus->parentWidget();
        visited << focus->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    QCOMPARE(visited, expected);
    for (const QString &box : { u"Text6"_qs, u"Text7"_qs, u"Text"_qs })
        QVERIFY(!text(box).contains(u'\t'));
}

void TestForm1::comboKeepsTypedText()
{
    get(u"Combo1"_qs)->setFocus();
    type(u"Combo1"_qs, u"週"_qs);
    QCOMPARE(text(u"Combo1"_qs), u"週"_qs); // not completed to "週間"
    QTest::keyClick(get(u"Combo1"_qs), Qt::Key_Return);
    QCOMPARE(combo(u"Combo1"_qs)->count(), 17); // nor added as an entry
    QCOMPARE(text(u"Combo1"_qs), u"週"_qs);

    combo(u"Combo2"_qs)->setCurrentIndex(1);
    get(u"Combo2"_qs)->setFocus();
    combo(u"Combo2"_qs)->lineEdit()->end(false);
    QTest::keyClick(get(u"Combo2"_qs), Qt::Key_Backspace);
    QCOMPARE(text(u"Combo2"_qs), Catalogues::closingLines().at(1).chopped(1));
}

void TestForm1::menus()
{
    QStringList tree;
    for (QAction *menu : m_form->menuBar()->actions()) {
        tree << menu->text();
        for (QAction *a : menu->menu()->actions()) {
            QVERIFY(!a->isSeparator() && a->isEnabled() && a->shortcut().isEmpty());
            tree << u"  "_qs + a->objectName() + u'=' + a->text();
        }
    }
    QCOMPARE(tree,
             QStringList({ u"Windows付属アプリの起動"_qs, u"  mnuHeee="_qs, u"  mnuDen=電卓"_qs,
                           u"  mnuMemo=メモ帳"_qs, u"  mnuFileExit=終了"_qs, u"ヘルプ"_qs,
                           u"  mnuForm3=バージョン情報"_qs }));

    setText(u"Text7"_qs, u"本文"_qs);
    action(u"mnuHeee"_qs)->trigger();
    QVERIFY(m_form->isVisible() && m_fakes.launcher.started.isEmpty());
    QCOMPARE(text(u"Text7"_qs), u"本文"_qs);

    for (const char16_t *item : { u"mnuDen", u"mnuDen", u"mnuMemo" })
        action(QString::fromUtf16(item))->trigger();
    using Launch = std::pair<QString, int>;
    QCOMPARE(
        m_fakes.launcher.started,
        QList<Launch>({ { u"calc.exe"_qs, 1 }, { u"calc.exe"_qs, 1 }, { u"NOTEPAD.EXE"_qs, 1 } }));
}

void TestForm1::failedLaunchKeepsTheWork()
{
    setText(u"Text7"_qs, u"書きかけの本文\r\n二行目"_qs);
    setText(u"Text"_qs, u"未送信の文書"_qs);
    m_fakes.launcher.failure = Error { 53, u"ファイルが見つかりません。"_qs };
    action(u"mnuDen"_qs)->trigger();

    QCOMPARE(m_fakes.messageBox.shown.size(), 1);
    const auto &box = m_fakes.messageBox.shown.first();
    QCOMPARE(box.title, u"Zelvora"_qs);
    QVERIFY(box.prompt.contains(u"53"_qs) && box.prompt.contains(u"ファイルが見つかりません。"_qs));
    QVERIFY(m_form->isVisible());
    QCOMPARE(text(u"Text7"_qs), u"書きかけの本文\r\n二行目"_qs);
    QCOMPARE(text(u"Text"_qs), u"未送信の文書"_qs);
}

void TestForm1::decoration_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("other");
    QTest::newRow("始めに入力") << u"Command1"_qs << u"Text1"_qs << u"Text3"_qs;
    QTest::newRow("終わりに入力") << u"Command2"_qs << u"Text3"_qs << u"Text1"_qs;
}

void TestForm1::decoration()
{
    QFETCH(QString, button);
    QFETCH(QString, target);
    QFETCH(QString, other);
    setText(target, u"old"_qs);
    setText(other, u"kept"_qs);
    click(button); // nothing selected: the field is emptied
    QCOMPARE(text(target), QString());

    select(4);
    click(button);
    click(button); // replaces, never appends; the list keeps its selection
    QCOMPARE(text(target), Catalogues::decorations().at(4));
    QCOMPARE(text(u"List1"_qs), Catalogues::decorations().at(4));
    QCOMPARE(text(other), u"kept"_qs);
}

void TestForm1::inputSupport_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<int>("label"); // -1: typed text instead of an entry
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("both empty") << QString() << -1 << QString() << u"\r\n"_qs;
    QTest::newRow("edited date, October")
        << u"12/24 号外"_qs << 11 << QString()
        << u"12/24 号外\r\n\"タイトル名を入れて下さい\"１０月号"_qs;
    QTest::newRow("typed label") << u"2026/12/06"_qs << -1 << u" 創刊号 "_qs
                                 << u"2026/12/06\r\n 創刊号 "_qs;
}

void TestForm1::inputSupport()
{
    QFETCH(QString, date);
    QFETCH(int, label);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    setText(u"Text9"_qs, date);
    setText(u"Text6"_qs, u"前の内容"_qs);
    if (label >= 0)
        combo(u"Combo1"_qs)->setCurrentIndex(label);
    else
        setText(u"Combo1"_qs, typed);
    click(u"Command7"_qs);
    QCOMPARE(text(u"Text6"_qs), expected);
}

void TestForm1::assembleEraseClear()
{
    type(u"Text2"_qs, u"ねこ通信"_qs);
    type(u"Text7"_qs, u"本文"_qs);
    QTest::keyClick(get(u"Text7"_qs), Qt::Key_Return);
    QTest::keyClicks(get(u"Text7"_qs), u"."_qs);
    combo(u"Combo2"_qs)->setCurrentIndex(0);
    click(u"Command3"_qs);
    const QString expected = u"ねこ通信\r\nHomepage  :\r\nE-mail    \u3000 :\r\n\r\n"
                             u"V\uFF08\uFF3E0\uFF3E\uFF09毎度っ\uFF01\u3000by - \r\n"_qs
        + QString(42, u'-') + u"\r\n本文\r\n.\r\n"_qs + Catalogues::closingLines().at(0);
    QCOMPARE(text(u"Text"_qs), expected);

    type(u"Text"_qs, u"編集"_qs); // edits are replaced by the next assembly
    click(u"Command3"_qs);
    QCOMPARE(text(u"Text"_qs), expected);
    click(u"Command4"_qs);
    QCOMPARE(text(u"Text"_qs), QString());
    click(u"Command3"_qs);
    QCOMPARE(text(u"Text"_qs), expected);

    setText(u"Text9"_qs, u"2026/12/06"_qs);
    setText(u"Text8"_qs, u"宛先"_qs);
    select(2);
    combo(u"Combo1"_qs)->setCurrentIndex(3);
    click(u"Command5"_qs);
    for (const char16_t *name : { u"Text1", u"Text2", u"Text4", u"Text5", u"Text7", u"Text8",
                                  u"Text11", u"Combo1", u"Combo2", u"Text" })
        QVERIFY2(text(QString::fromUtf16(name)).isEmpty(), qPrintable(QString::fromUtf16(name)));
    QCOMPARE(text(u"Text9"_qs), u"2026/12/06"_qs);
    QCOMPARE(text(u"List1"_qs), Catalogues::decorations().at(2));
    QCOMPARE(combo(u"Combo1"_qs)->count(), 17);
    click(u"Command3"_qs);
    QCOMPARE(text(u"Text"_qs), u"\r\n\r\n\r\n\r\n\r\n"_qs + QString(42, u'-') + u"\r\n\r\n"_qs);
    QVERIFY(m_fakes.messageBox.shown.isEmpty());
}

void TestForm1::versionWindowIsModal()
{
    // Through the window system, where modality applies, this click erases the document.
    const QPoint at = get(u"Command4"_qs)->mapTo(m_form.get(), QPoint(10, 10));
    setText(u"Text"_qs, u"文書"_qs);
    QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, at);
    QCOMPARE(text(u"Text"_qs), QString());

    setText(u"Text"_qs, u"文書"_qs);
    QString seen;
    QTimer::singleShot(0, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        seen = modal->objectName() + u'/' + modal->parentWidget()->objectName();
        QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, at);
        QTest::mouseClick(modal->findChild<QPushButton *>(u"Command3"_qs), Qt::LeftButton);
    });
    action(u"mnuForm3"_qs)->trigger();
    QCOMPARE(seen, u"Form3/Form1"_qs);
    QCOMPARE(text(u"Text"_qs), u"文書"_qs);
    QVERIFY(!m_form->findChild<QDialog *>()); // nothing of the version window is left
}

void TestForm1::quit_data()
{
    QTest::addColumn<bool>("fromMenu");
    QTest::newRow("終了") << true;
    QTest::newRow("(^0^)/~~see you !") << false;
}

void TestForm1::quit()
{
    QFETCH(bool, fromMenu);
    setText(u"Text"_qs, u"未送信"_qs);
    if (fromMenu)
        action(u"mnuFileExit"_qs)->trigger();
    else
        click(u"Command6"_qs);
    QVERIFY(!m_form->isVisible());
    QVERIFY(m_fakes.messageBox.shown.isEmpty());
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
