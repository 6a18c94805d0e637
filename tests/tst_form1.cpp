// The main window and the version window as a user meets them: places converted by hand from
// the design, the lists' characters, the keyboard, names a screen reader reads, the designed
// colours, text boxes and copying that keep every character, menus, the fill and clear buttons,
// assembly and quitting.
#include "catalogues.h"
#include "fakes.h"
#include "form1.h"
#include "form3.h"
#include "textbox.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <stdexcept>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::exception_ptr)
using Texts = QList<std::pair<QString, QString>>;
Q_DECLARE_METATYPE(Texts)

class TestForm1 final : public QObject
{
    Q_OBJECT

    FakeServices m_fakes;
    std::unique_ptr<Form1> m_form;
    std::unique_ptr<Form3> m_form3; // not shown unless a test shows it

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
    // "Text7" or "Form3/Command3": that control with the focus, its window shown and active.
    QWidget *focus(const QString &path)
    {
        QWidget *window
            = path.startsWith(u"Form3/"_s) ? static_cast<QWidget *>(m_form3.get()) : m_form.get();
        window->show();
        (void)QTest::qWaitForWindowActive(window); // if it is not, the checks after this fail
        QWidget *w = window->findChild<QWidget *>(path.section(u'/', -1));
        w->setFocus();
        return w;
    }
    static QString name(QObject *o)
    {
        return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name);
    }
    void select(int row)
    {
        auto list = static_cast<QListWidget *>(get(u"List1"_s));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }

private Q_SLOTS:
    void init()
    {
        m_fakes.messageBox.shown.clear();
        m_fakes.launcher = {};
        m_fakes.shell.calls.clear();
        m_form = std::make_unique<Form1>(m_fakes.services(), nullptr);
        m_form3 = std::make_unique<Form3>(m_fakes.services(), nullptr);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }
    void cleanup() { m_form3.reset(), m_form.reset(); }

    void opensAsDesigned()
    {
        QCOMPARE(m_form->windowTitle(), u"Zelvora   Ver1.0"_s);
        QCOMPARE(m_form->centralWidget()->size(), QSize(687, 576));
        QVERIFY(!(m_form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(QApplication::focusWidget(), get(u"Text1"_s));
        QCOMPARE(text(u"Text11"_s), u"V\uFF08\uFF3E0\uFF3E\uFF09毎度っ\uFF01\u3000by - "_s);
        QCOMPARE(m_form->centralWidget()->palette().color(QPalette::Window), QColor(192, 192, 192));
        // The body is yellow on black; the issue labels are on peach.
        const QPalette body = get(u"Text7"_s)->palette();
        QCOMPARE(body.color(QPalette::Text), QColor(255, 255, 0));
        QCOMPARE(body.color(QPalette::Base), QColor(0, 0, 0));
        QCOMPARE(get(u"Combo1"_s)->palette().color(QPalette::Base), QColor(255, 224, 192));
        QCOMPARE(get(u"Text1"_s)->font().families().value(0), u"ＭＳ Ｐゴシック"_s);
        QCOMPARE(get(u"Text7"_s)->font().pointSizeF(), 9.75);
        // Frames behind the fields they hold; the issue-label combo and 入力支援 in front.
        const QObjectList order = m_form->centralWidget()->children();
        auto z = [&](const char16_t *name) { return order.indexOf(get(QString::fromUtf16(name))); };
        QVERIFY(z(u"Frame1") < z(u"Text1") && z(u"Frame2") < z(u"Combo2"));
        QVERIFY(z(u"Combo1") > z(u"Text9") && z(u"Combo1") > z(u"Text6"));
        QVERIFY(z(u"Command7") > z(u"Text6"));
    }

    // A few rows of the design converted by hand, 15 twips to a pixel; resizing moves nothing.
    void layout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("Command9 6960,8040 3255x495")
            << u"Command9"_s << QString() << QRect(464, 536, 217, 33);
        QTest::newRow("Text11 in Frame3 120,240 2775x270")
            << u"Text11"_s << u"Frame3"_s << QRect(8, 16, 185, 18);
        QTest::newRow("Text7 240,3480 8415x1455")
            << u"Text7"_s << QString() << QRect(16, 232, 561, 97);
        QTest::newRow("List1 8880,1680 1335x1380")
            << u"List1"_s << QString() << QRect(592, 112, 89, 92);
    }
    void layout()
    {
        QFETCH(QString, name);
        m_form->resize(300, 200);
        QTEST(get(name)->parentWidget()->objectName(), "frame");
        QTEST(get(name)->geometry(), "pixels");
    }

    // The lists' entries as the user sees them, character by character.
    void lists()
    {
        auto list1 = static_cast<QListWidget *>(get(u"List1"_s));
        QCOMPARE(list1->count(), 16);
        QCOMPARE(list1->item(3)->text(), u"\uFF3C|"_s.repeated(6)); // fullwidth \, ASCII |
        QCOMPARE(list1->item(4)->text(), u"\uFF0F|"_s.repeated(6));
        QCOMPARE(list1->item(9)->text(), QString(15, u'#'));
        const QString title = u"\"タイトル名を入れて下さい\""_s;
        QCOMPARE(combo(u"Combo1"_s)->count(), 17);
        QCOMPARE(combo(u"Combo1"_s)->itemText(11), title + u"\uFF11\uFF10月号"_s); // 18
        QCOMPARE(combo(u"Combo1"_s)->itemText(16), title + u"号\u3000外"_s);
        const QString end = u"\u3000------------\u3000END\u3000---------------"_s;
        QComboBox *closing = combo(u"Combo2"_s);
        QCOMPARE(closing->count(), 2);
        QCOMPARE(closing->itemText(0), u"-----\u3000次回をお楽しみに\uFF01"_s + end); // 48 wide
        QCOMPARE(closing->itemText(1),
                 u"-----\u3000配信中止はE-mailで受け付けます\uFF01"_s + end); // 58
    }

    void tabWalk_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("steps");
        QTest::newRow("title line") << u"Text1"_s << u"List1 Command1 Text2 Text3 Command2"_s;
        QTest::newRow("body to the document") << u"Text7"_s << u"Command6 Text Text9"_s;
        QTest::newRow("signature to sending") << u"Text11"_s << u"Combo1 Combo2 Command9"_s;
        QTest::newRow("last to first") << u"Command5"_s << u"Text8 Text10 Text1"_s;
    }
    // Tab goes on to the next control, out of the multi-line boxes too, and round.
    void tabWalk()
    {
        QFETCH(QString, from);
        QFETCH(QString, steps);
        get(from)->setFocus();
        QStringList visited;
        for (qsizetype i = steps.count(u' ') + 1; i > 0; --i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *focus = QApplication::focusWidget();
            if (qobject_cast<QComboBox *>(focus->parentWidget())) // its line edit has the focus
                focus = focus->parentWidget();
            visited << focus->objectName();
        }
        QCOMPARE(visited.join(u' '), steps);
        QVERIFY(!text(u"Text7"_s).contains(u'\t') && !text(u"Text"_s).contains(u'\t'));
    }

    // Every control that takes the focus is read out by a name: its heading, or what it holds.
    void names()
    {
        for (QWidget *window : std::initializer_list<QWidget *> { m_form.get(), m_form3.get() })
            for (QWidget *w : window->findChildren<QWidget *>())
                if (w->isVisibleTo(window) && (w->focusPolicy() & Qt::TabFocus))
                    QVERIFY2(!name(w).isEmpty(), qPrintable(w->objectName()));
        QStringList heard;
        for (const char16_t *field : { u"Text7", u"Text10", u"Text11", u"List1", u"Text" })
            heard << name(m_form->findChild<QWidget *>(QString::fromUtf16(field)));
        QCOMPARE(heard.join(u'|'),
                 u"本\u3000文|宛先メールアドレス|配信者サイン|飾り文字|作成文書"_s);
        auto blank = m_form->findChild<QAction *>(u"mnuHeee"_s);
        QVERIFY(blank->text().isEmpty() && !name(blank).isEmpty());
    }

    // Enter presses the focused button, in either window, and breaks the line in a text box.
    void enter_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("document"); // the document box's first characters afterwards
        const Qt::KeyboardModifiers none, keypad(Qt::KeypadModifier);
        QTest::newRow("作成文書の表示") << u"Command3"_s << none << u"\r\nHomepage"_s;
        QTest::newRow("作成文書の消去, keypad") << u"Command4"_s << keypad << QString();
        QTest::newRow("in the document box") << u"Text"_s << none << u"\r\nab"_s;
        QTest::newRow("Shift+Enter in the document box")
            << u"Text"_s << Qt::KeyboardModifiers(Qt::ShiftModifier) << u"\r\nab"_s;
        QTest::newRow("version window's OK") << u"Form3/Command3"_s << none << u"ab"_s;
    }
    void enter()
    {
        QFETCH(QString, control);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, document);
        setText(u"Text"_s, u"ab"_s);
        QWidget *w = focus(control);
        QTest::keyClick(w->window()->windowHandle(), modifiers ? Qt::Key_Enter : Qt::Key_Return,
                        modifiers);
        QCOMPARE(text(u"Text"_s).left(10), document);
        QVERIFY(!m_form3->isVisible()); // closed by its OK button; never shown in the other rows
        for (auto button : w->window()->findChildren<QPushButton *>())
            QVERIFY(!button->isDefault());
    }

    void colours_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QColor>("fill");
        QTest::newRow("フォント指定") << u"Command8"_s << QColor(192, 255, 255);
        QTest::newRow("メッセージ送信") << u"Command9"_s << QColor(192, 192, 255);
        QTest::newRow("全てクリアー") << u"Command5"_s << QColor(224, 224, 224);
        QTest::newRow("homepage") << u"Form3/Command1"_s << QColor(224, 224, 224);
    }
    // Buttons are filled with their designed colour, read on the screen inside the two-pixel
    // bevel and outside the focus rectangle.
    void colours()
    {
        QFETCH(QString, button);
        QTEST(QColor(focus(button)->grab().toImage().pixel(3, 3)), "fill");
    }

    void copy_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("key");
        QTest::newRow("document box, copy") << u"Text"_s << int(Qt::Key_C);
        QTest::newRow("body, cut") << u"Text7"_s << int(Qt::Key_X);
        QTest::newRow("one-line box, copy") << u"Text2"_s << int(Qt::Key_C);
    }
    void copy()
    {
        QFETCH(QString, box);
        QFETCH(int, key);
        QWidget *w = focus(box);
        const QString value = u"a\u00A0b\u2028c\u3000d\r\ne"_s;
        ControlText::setText(w, value);
        QApplication::clipboard()->clear();
        for (Qt::Key k : { Qt::Key_A, Qt::Key(key) }) // select all, then copy or cut
            QTest::keyClick(w->window()->windowHandle(), k, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), value);
    }

    void comboKeepsTypedText()
    {
        get(u"Combo1"_s)->setFocus();
        type(u"Combo1"_s, u"週"_s);
        QCOMPARE(text(u"Combo1"_s), u"週"_s); // not completed to "週間"
        QTest::keyClick(get(u"Combo1"_s), Qt::Key_Return);
        QCOMPARE(combo(u"Combo1"_s)->count(), 17); // nor added as an entry
        QCOMPARE(text(u"Combo1"_s), u"週"_s);
    }

    void menus()
    {
        QStringList tree;
        for (QAction *menu : m_form->menuBar()->actions()) {
            tree << menu->text();
            for (QAction *a : menu->menu()->actions()) {
                QVERIFY(!a->isSeparator() && a->isEnabled() && a->shortcut().isEmpty());
                tree << u"  "_s + a->objectName() + u'=' + a->text();
            }
        }
        QCOMPARE(tree,
                 QStringList({ u"Windows付属アプリの起動"_s, u"  mnuHeee="_s, u"  mnuDen=電卓"_s,
                               u"  mnuMemo=メモ帳"_s, u"  mnuFileExit=終了"_s, u"ヘルプ"_s,
                               u"  mnuForm3=バージョン情報"_s }));
        setText(u"Text7"_s, u"本文"_s);
        action(u"mnuHeee"_s)->trigger();
        QVERIFY(m_form->isVisible() && m_fakes.launcher.started.isEmpty());
        QCOMPARE(text(u"Text7"_s), u"本文"_s);
        for (const char16_t *item : { u"mnuDen", u"mnuDen", u"mnuMemo" })
            action(QString::fromUtf16(item))->trigger();
        QCOMPARE(m_fakes.launcher.started,
                 (QList<std::pair<QString, int>> {
                     { u"calc.exe"_s, 1 }, { u"calc.exe"_s, 1 }, { u"NOTEPAD.EXE"_s, 1 } }));
    }

    void failureKeepsTheWork_data()
    {
        QTest::addColumn<std::exception_ptr>("failure");
        QTest::addColumn<QString>("said");
        QTest::newRow("platform error")
            << std::make_exception_ptr(Error { 53, u"ファイルが見つかりません。"_s })
            << u"53\rファイルが見つかりません。"_s;
        QTest::newRow("any other exception")
            << std::make_exception_ptr(std::runtime_error("out of order")) << u"51\rout of order"_s;
    }
    // A failure no handler traps is shown once; the program keeps running with every field kept.
    void failureKeepsTheWork()
    {
        QFETCH(std::exception_ptr, failure);
        setText(u"Text7"_s, u"書きかけの本文\r\n二行目"_s);
        m_fakes.launcher.failure = failure;
        action(u"mnuDen"_s)->trigger();
        QCOMPARE(m_fakes.messageBox.shown.size(), 1);
        const auto &box = m_fakes.messageBox.shown.first();
        QCOMPARE(box.title, u"Zelvora"_s);
        QFETCH(QString, said);
        QVERIFY2(box.prompt.endsWith(said), qPrintable(box.prompt));
        QVERIFY(m_form->isVisible());
        QCOMPARE(text(u"Text7"_s), u"書きかけの本文\r\n二行目"_s);
    }

    void fieldCommands_data()
    {
        QTest::addColumn<Texts>("given");
        QTest::addColumn<int>("decoration"); // chosen in List1; -1: none
        QTest::addColumn<QString>("button");
        QTest::addColumn<Texts>("expected");
        const QString deco = Catalogues::decorations().at(4);
        const QString october = Catalogues::issueLabels().at(11);
        const Texts kept { { u"Text1"_s, u"始"_s }, { u"Text3"_s, u"終"_s } };
        QTest::newRow("始めに入力, nothing chosen")
            << kept << -1 << u"Command1"_s << Texts { { u"Text1"_s, {} }, kept[1] };
        QTest::newRow("始めに入力")
            << kept << 4 << u"Command1"_s << Texts { { u"Text1"_s, deco }, kept[1] };
        QTest::newRow("終わりに入力")
            << kept << 4 << u"Command2"_s << Texts { kept[0], { u"Text3"_s, deco } };
        QTest::newRow("入力支援, both empty")
            << Texts { { u"Text6"_s, u"前"_s } } << -1 << u"Command7"_s
            << Texts { { u"Text6"_s, u"\r\n"_s } };
        QTest::newRow("入力支援, edited date")
            << Texts { { u"Text9"_s, u"12/24 号外"_s }, { u"Combo1"_s, october } } << -1
            << u"Command7"_s << Texts { { u"Text6"_s, u"12/24 号外\r\n"_s + october } };
        QTest::newRow("作成文書の消去") << Texts { { u"Text"_s, u"文書"_s }, kept[0] } << -1
                                        << u"Command4"_s << Texts { { u"Text"_s, {} }, kept[0] };
    }
    // Each button replaces its target's whole text (clicked twice, it never appends); the list
    // keeps its choice; other fields stay.
    void fieldCommands()
    {
        QFETCH(Texts, given);
        QFETCH(int, decoration);
        for (const auto &[name, value] : given)
            setText(name, value);
        if (decoration >= 0)
            select(decoration);
        QFETCH(QString, button);
        click(button);
        click(button);
        QFETCH(Texts, expected);
        for (const auto &[name, value] : expected)
            QCOMPARE(text(name), value);
        QCOMPARE(text(u"List1"_s),
                 decoration < 0 ? QString() : Catalogues::decorations().at(decoration));
    }

    void assembleEraseClear()
    {
        type(u"Text2"_s, u"ねこ通信"_s);
        type(u"Text7"_s, u"本文"_s);
        QTest::keyClick(get(u"Text7"_s), Qt::Key_Return);
        QTest::keyClicks(get(u"Text7"_s), u"."_s);
        combo(u"Combo2"_s)->setCurrentIndex(0);
        click(u"Command3"_s);
        const QString expected = u"ねこ通信\r\nHomepage  :\r\nE-mail    \u3000 :\r\n\r\n"
                                 u"V\uFF08\uFF3E0\uFF3E\uFF09毎度っ\uFF01\u3000by - \r\n"_s
            + QString(42, u'-') + u"\r\n本文\r\n.\r\n"_s + Catalogues::closingLines().at(0);
        QCOMPARE(text(u"Text"_s), expected);
        type(u"Text"_s, u"編集"_s); // edits are replaced by the next assembly
        click(u"Command3"_s);
        QCOMPARE(text(u"Text"_s), expected);
        click(u"Command4"_s); // erased, then made again from the fields
        click(u"Command3"_s);
        QCOMPARE(text(u"Text"_s), expected);

        // Clear all empties every field but the date, and keeps the list's choice and entries.
        const QStringList cleared = u"Text1 Text2 Text3 Text4 Text5 Text6 Text7 Text8 Text10 "
                                    u"Text11 Combo1 Combo2 Text"_s.split(u' ');
        for (const QString &name : cleared)
            setText(name, name + u"の内容"_s);
        setText(u"Text9"_s, u"2026/12/06"_s);
        select(2);
        click(u"Command5"_s);
        for (const QString &name : cleared)
            QVERIFY2(text(name).isEmpty(), qPrintable(name));
        QCOMPARE(text(u"Text9"_s), u"2026/12/06"_s);
        QCOMPARE(text(u"List1"_s), Catalogues::decorations().at(2));
        QCOMPARE(combo(u"Combo1"_s)->count(), 17);
        click(u"Command3"_s);
        const QString separator(42, u'-');
        QCOMPARE(text(u"Text"_s), u"\r\n\r\n\r\n\r\n\r\n"_s + separator + u"\r\n\r\n"_s);

        // Every field in its place, nothing added, trimmed or lost; the title line joins the
        // decorations and the subtitle as they are.
        const auto v = [](const char16_t *name) {
            return u" "_s + QString::fromUtf16(name) + u"\u00A0\u2028 "_s;
        };
        for (const char16_t *name :
             { u"Text1", u"Text2", u"Text3", u"Text4", u"Text5", u"Text11", u"Text7", u"Combo2" })
            setText(QString::fromUtf16(name), v(name));
        setText(u"Text6"_s, u"日付\r\n号"_s);
        click(u"Command3"_s);
        QCOMPARE(text(u"Text"_s),
                 v(u"Text1") + v(u"Text2") + v(u"Text3") + u"\r\n"_s + v(u"Text4") + u"\r\n"_s
                     + v(u"Text5") + u"\r\n日付\r\n号\r\n"_s + v(u"Text11") + u"\r\n"_s + separator
                     + u"\r\n"_s + v(u"Text7") + u"\r\n"_s + v(u"Combo2"));
        QVERIFY(m_fakes.messageBox.shown.isEmpty());
    }

    // The version window is modal over this one. In it the focus goes round its three buttons,
    // Escape does not close it, the homepage button has the shell open the address it shows, and OK
    // closes it.
    void versionWindow()
    {
        // Through the window system, where modality applies, this click erases the document.
        const QPoint at = get(u"Command4"_s)->mapTo(m_form.get(), QPoint(10, 10));
        setText(u"Text"_s, u"文書"_s);
        QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, at);
        QCOMPARE(text(u"Text"_s), QString());

        setText(u"Text"_s, u"文書"_s);
        QStringList seen;
        QTimer::singleShot(0, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            seen << modal->objectName() + u'/' + modal->parentWidget()->objectName();
            QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, at);
            for (int i = 0; i < 4; ++i) {
                seen << QApplication::focusWidget()->objectName();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // closes nothing
            seen << (modal->isVisible() ? u"open"_s : u"closed"_s);
            auto homepage = modal->findChild<QPushButton *>(u"Command1"_s);
            seen << homepage->text();
            QTest::mouseClick(homepage, Qt::LeftButton);
            QTest::mouseClick(modal->findChild<QWidget *>(u"Command3"_s), Qt::LeftButton);
        });
        action(u"mnuForm3"_s)->trigger();
        QCOMPARE(seen,
                 (QStringList { u"Form3/Form1"_s, u"Command1"_s, u"Command2"_s, u"Command3"_s,
                                u"Command1"_s, u"open"_s, u"https://www.tavrinsoft.example/"_s }));
        const QByteArray homepage = "https://www.tavrinsoft.example/";
        QCOMPARE(m_fakes.shell.calls,
                 QList<QList<QByteArray>>({ { "open", homepage, "", "", "1" } }));
        QVERIFY(!m_fakes.shell.calls[0][2].isNull() && !m_fakes.shell.calls[0][3].isNull());
        QCOMPARE(text(u"Text"_s), u"文書"_s);
        QVERIFY(!m_form->findChild<QDialog *>()); // nothing of the version window is left
    }

    // "終了" and "(^0^)/~~see you !" close the window at once, with an unsent document too.
    void quit()
    {
        setText(u"Text"_s, u"未送信"_s);
        click(u"Command6"_s);
        QVERIFY(!m_form->isVisible());
        m_form->show();
        action(u"mnuFileExit"_s)->trigger();
        QVERIFY(!m_form->isVisible());
        QVERIFY(m_fakes.messageBox.shown.isEmpty());
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
