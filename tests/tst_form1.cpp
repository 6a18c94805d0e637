// The main window and the version window as a user meets them.
#include "fakes.h"
#include "fontchoices.h"
#include "form1.h"
#include "form3.h"
#include "roles.h"
#include "textbox.h"
#include "textmarker.h"
#include "windowtest.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <stdexcept>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(FontChoice)

namespace {
const QString Title = u"\"タイトル名を入れて下さい\""_s;
const QString Signature = u"V\uFF08\uFF3E0\uFF3E\uFF09毎度っ\uFF01\u3000by - "_s;
const QString Closing
    = u"-----\u3000次回をお楽しみに\uFF01\u3000------------\u3000END\u3000---------------"_s;
} // namespace

class TestForm1 final : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeServices> m_fakes;
    std::unique_ptr<Form1> m_form;
    std::unique_ptr<Form3> m_form3; // not shown unless a test shows it

    QWidget *get(QAnyStringView n) const { return m_form->findChild<QWidget *>(n.toString()); }
    QString text(QAnyStringView name) const { return ControlText::text(get(name)); }
    void setText(QAnyStringView name, const QString &t) { ControlText::setText(get(name), t); }
    void click(QAnyStringView name) { QTest::mouseClick(get(name), Qt::LeftButton); }
    QAction *action(const QString &name) const { return m_form->findChild<QAction *>(name); }
    QComboBox *combo(const char *role) const { return static_cast<QComboBox *>(get(role)); }
    QListWidget *list1() const { return static_cast<QListWidget *>(get(Role::Decorations)); }
    static QString name(QObject *o)
    {
        return QAccessible::queryAccessibleInterface(o)->text(QAccessible::Name);
    }
    // Japanese is typed through the input method: committed text, as the user sees it.
    void type(QAnyStringView name, const QString &s)
    {
        QInputMethodEvent event;
        event.setCommitString(s);
        auto c = qobject_cast<QComboBox *>(get(name));
        QApplication::sendEvent(c ? c->lineEdit() : get(name), &event);
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
    void select(int row)
    {
        QTest::mouseClick(list1()->viewport(), Qt::LeftButton, {},
                          list1()->visualItemRect(list1()->item(row)).center());
    }

private Q_SLOTS:
    void init()
    {
        m_fakes = std::make_unique<FakeServices>();
        m_form = std::make_unique<Form1>(m_fakes->services(), nullptr);
        m_form3 = std::make_unique<Form3>(m_fakes->services(), nullptr);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }
    void cleanup() { m_form3.reset(), m_form.reset(), m_fakes.reset(); }

    void opensAsDesigned()
    {
        QVERIFY(!(m_form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(QApplication::focusWidget(), get(Role::StartDecoration));
        QCOMPARE(text(Role::Signature), Signature);
        // Buttons are filled with their colour, read on the screen inside the bevel.
        const auto fill = [&](const QString &button) {
            return QColor(focus(button)->grab().toImage().pixel(3, 3));
        };
        QCOMPARE(fill(QString::fromLatin1(Role::ChooseFont)), QColor(192, 255, 255));
        QCOMPARE(fill(QString::fromLatin1(Role::Send)), QColor(192, 192, 255));
        QCOMPARE(fill(u"Form3/Command1"_s), QColor(224, 224, 224));
        // Frames behind the fields they hold; the issue-label combo and 入力支援 in front.
        const QObjectList order = m_form->centralWidget()->children();
        auto z = [&](const char *name) { return order.indexOf(get(name)); };
        QVERIFY(z("Frame1") < z(Role::StartDecoration) && z("Frame2") < z(Role::ClosingLine));
        QVERIFY(z(Role::IssueLabel) > z(Role::DateBox) && z(Role::IssueLabel) > z(Role::IssueLine));
        QVERIFY(z(Role::FillIssueLine) > z(Role::IssueLine));
    }

    // Every control shows whole and uncovered in the client area; resizing moves nothing.
    void layout()
    {
        QWidget *client = m_form->centralWidget();
        QList<QWidget *> shown;
        for (QWidget *w : client->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (w->isVisibleTo(client) && !qobject_cast<QGroupBox *>(w))
                shown << w;
        QList<QRect> before;
        for (QWidget *w : std::as_const(shown)) {
            QVERIFY2(client->rect().contains(w->geometry()) && !w->size().isEmpty(),
                     qPrintable(w->objectName()));
            for (QWidget *other : std::as_const(shown)) {
                const QRect overlap = w->geometry() & other->geometry();
                QVERIFY2(w == other || overlap.width() <= 4 || overlap.height() <= 4,
                         qPrintable(w->objectName() + u' ' + other->objectName()));
            }
            before << w->geometry();
        }
        m_form->resize(300, 200);
        for (qsizetype i = 0; i < shown.size(); ++i)
            QCOMPARE(shown[i]->geometry(), before[i]);
    }

    // Every entry reaches its field as shown; what is typed in 発行号 is not completed nor added.
    void lists()
    {
        for (int row = 0; row < list1()->count(); ++row) {
            select(row);
            click(Role::PutAtStart);
            QCOMPARE(text(Role::StartDecoration), list1()->item(row)->text());
        }
        for (const char *role : { Role::IssueLabel, Role::ClosingLine })
            for (int row = 0; row < combo(role)->count(); ++row) {
                combo(role)->setCurrentIndex(row);
                QCOMPARE(text(role), combo(role)->itemText(row));
            }
        const int labels = combo(Role::IssueLabel)->count();
        setText(Role::IssueLabel, QString());
        get(Role::IssueLabel)->setFocus();
        type(Role::IssueLabel, u"週"_s);
        QTest::keyClick(get(Role::IssueLabel), Qt::Key_Return);
        QCOMPARE(text(Role::IssueLabel), u"週"_s); // not completed to 週間
        QCOMPARE(combo(Role::IssueLabel)->count(), labels); // nor added
    }

    void tabWalk_data()
    {
        columns<QString, QString>({ "from", "steps" });
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
            QWidget *f = QApplication::focusWidget(); // a combo's line edit: the combo
            visited << (qobject_cast<QComboBox *>(f->parentWidget()) ? f->parentWidget() : f)
                           ->objectName();
        }
        QCOMPARE(visited.join(u' '), steps);
        QVERIFY(!text(Role::Body).contains(u'\t') && !text(Role::Document).contains(u'\t'));
    }

    // Every control that takes the focus is read out by a name: its heading, or what it holds.
    void names()
    {
        for (QWidget *window : std::initializer_list<QWidget *> { m_form.get(), m_form3.get() })
            for (QWidget *w : window->findChildren<QWidget *>())
                if (w->isVisibleTo(window) && (w->focusPolicy() & Qt::TabFocus))
                    QVERIFY2(!name(w).isEmpty(), qPrintable(w->objectName()));
        combo(Role::ClosingLine)->setCurrentIndex(1);
        QStringList heard;
        for (const char *field :
             { Role::Body, Role::RecipientAddress, Role::Signature, Role::ClosingLine })
            heard << name(get(field));
        QCOMPARE(heard.join(u'|'), u"本\u3000文|宛先メールアドレス|配信者サイン|フッタ部"_s);
        auto blank = action(u"mnuHeee"_s);
        QVERIFY(blank->text().isEmpty() && !name(blank).isEmpty());
    }

    // A dark scheme and another style: every text contrasts 4.5 : 1 (WCAG 2); the date fits.
    void darkDesktop()
    {
        auto restore = qScopeGuard([desktop = QApplication::palette()] {
            QApplication::setPalette(desktop);
            QApplication::setStyle(u"Fusion"_s);
        });
        QApplication::setStyle(u"Windows"_s);
        QApplication::setPalette(QPalette(QColor(0x42, 0x42, 0x45), QColor(0x30, 0x2f, 0x2e)));
        init();
        for (QWidget *window : std::initializer_list<QWidget *> { m_form.get(), m_form3.get() })
            for (QWidget *w : window->findChildren<QWidget *>())
                if (w->isVisibleTo(window))
                    QVERIFY2(contrast(w->palette().color(w->foregroundRole()),
                                      w->palette().color(w->backgroundRole()))
                                 >= 4.5,
                             qPrintable(w->objectName()));
        auto date = static_cast<QLineEdit *>(get(Role::DateBox));
        date->setText(u"2026/12/07"_s);
        QVERIFY(QFontMetrics(date->font()).horizontalAdvance(date->text()) <= date->width() - 6);
    }

    // Enter presses the focused button, in either window, and breaks the line in a text box.
    void enter_data()
    {
        // document: the document box's first characters afterwards
        columns<QString, Qt::KeyboardModifiers, QString>({ "control", "modifiers", "document" });
        const Qt::KeyboardModifiers none, keypad(Qt::KeypadModifier);
        QTest::newRow("作成文書の消去, keypad") << u"Command4"_s << keypad << QString();
        QTest::newRow("in the document box") << u"Text"_s << none << u"\r\nab"_s;
        QTest::newRow("version window's OK") << u"Form3/Command3"_s << none << u"ab"_s;
    }
    void enter()
    {
        QFETCH(QString, control);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        setText(Role::Document, u"ab"_s);
        QWidget *w = focus(control);
        QTest::keyClick(w->window()->windowHandle(), modifiers ? Qt::Key_Enter : Qt::Key_Return,
                        modifiers);
        QTEST(text(Role::Document).left(10), "document");
        QVERIFY(!m_form3->isVisible()); // closed by its OK button; never shown in the other rows
        for (auto button : w->window()->findChildren<QPushButton *>())
            QVERIFY(!button->isDefault());
    }

    void copy_data()
    {
        columns<QString, int>({ "box", "key" });
        QTest::newRow("document box, copy") << u"Text"_s << int(Qt::Key_C);
        QTest::newRow("one-line box, cut") << u"Text2"_s << int(Qt::Key_X);
    }
    // Select all and copy or cut hand out every character the box holds.
    void copy()
    {
        QFETCH(QString, box);
        QFETCH(int, key);
        QWidget *w = focus(box);
        const QString value = u"a\u00A0b\u2028c\u3000d\r\ne"_s;
        ControlText::setText(w, value);
        QApplication::clipboard()->clear();
        for (Qt::Key k : { Qt::Key_A, Qt::Key(key) })
            QTest::keyClick(w->window()->windowHandle(), k, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), value);
    }

    // The accessories start; a failure no handler traps is shown once; 終了 closes at once.
    void menus()
    {
        for (const char16_t *item : { u"mnuHeee", u"mnuDen", u"mnuMemo" })
            action(QString::fromUtf16(item))->trigger();
        QCOMPARE(
            m_fakes->launcher.started,
            (QList<std::pair<QString, int>> { { u"calc.exe"_s, 1 }, { u"NOTEPAD.EXE"_s, 1 } }));
        setText(Role::Document, u"未送信の号\r\n二行目"_s);
        m_fakes->launcher.failure = std::make_exception_ptr(std::runtime_error("out of order"));
        action(u"mnuDen"_s)->trigger();
        QCOMPARE(m_fakes->messageBox.shown.size(), 1);
        const auto &box = m_fakes->messageBox.shown.first();
        QVERIFY2(box.title == u"Zelvora"_s && box.prompt.endsWith(u"51\rout of order"_s),
                 qPrintable(box.prompt));
        QVERIFY(m_form->isVisible());
        QCOMPARE(text(Role::Document), u"未送信の号\r\n二行目"_s);
        action(u"mnuFileExit"_s)->trigger();
        QVERIFY(!m_form->isVisible());
        QVERIFY(m_fakes->messageBox.shown.size() == 1 && m_fakes->messageBox.asked.isEmpty());
    }

    // 始めに入力, 終わりに入力 and 入力支援 replace their target's whole text.
    void fieldCommands()
    {
        const QString deco = u"\uFF0F|"_s.repeated(6);
        const auto ends
            = [&] { return text(Role::StartDecoration) + u'/' + text(Role::EndDecoration); };
        setText(Role::StartDecoration, u"始"_s);
        setText(Role::EndDecoration, u"終"_s);
        click(Role::PutAtStart); // nothing chosen
        QCOMPARE(ends(), u"/終"_s);
        select(4);
        click(Role::PutAtEnd);
        click(Role::PutAtEnd);
        QCOMPARE(ends(), u'/' + deco);
        click(Role::PutAtStart);
        click(Role::PutAtStart);
        QCOMPARE(ends() + u'/' + text(Role::Decorations), deco + u'/' + deco + u'/' + deco);
        click(Role::FillIssueLine); // both empty
        QCOMPARE(text(Role::IssueLine), u"\r\n"_s);
        setText(Role::DateBox, u"12/24 号外"_s);
        combo(Role::IssueLabel)->setCurrentIndex(11);
        click(Role::FillIssueLine);
        click(Role::FillIssueLine);
        QCOMPARE(text(Role::IssueLine), u"12/24 号外\r\n"_s + Title + u"\uFF11\uFF10月号"_s);
    }

    void fontCommand_data()
    {
        // colour: none: the document box refuses the choice
        columns<FontChoice, QColor>({ "choice", "colour" });
        QTest::newRow("bold, strikethrough, half point, red")
            << FontChoice { { u"Sans"_s }, 10.5, true, false, true, false, 0x0000FF }
            << QColor(255, 0, 0);
        QTest::newRow("italic, underline, white")
            << FontChoice { { u"Serif"_s }, 12, false, true, false, true, 0xFFFFFF }
            << QColor(255, 255, 255);
        QTest::newRow("size NaN") << FontChoice { { u"Serif"_s }, qQNaN() } << QColor();
        QTest::newRow("empty face") << FontChoice { {}, 9 } << QColor();
        QTest::newRow("smallest") << FontChoice { { u"Serif"_s }, 1 } << QColor(0, 0, 0);
        QTest::newRow("largest") << FontChoice { { u"Serif"_s }, 1638 } << QColor(0, 0, 0);
        QTest::newRow("colour > 24 bits")
            << FontChoice { .families = { u"Serif"_s }, .colour = 1 << 24 } << QColor();
    }
    // フォント指定 sets the document box's font, kept by assembly and clear all; a bad one is
    // refused.
    void fontCommand()
    {
        QFETCH(FontChoice, choice);
        QFETCH(QColor, colour);
        const QString document = u"１行目\u3000\u00A0end\r\n\r\n２行目 "_s;
        setText(Role::Document, document);
        QWidget *box = get(Role::Document);
        const QFont font = box->font();
        const QColor black = box->palette().color(QPalette::Text);
        m_fakes->fontDialog.choice = choice;
        click(Role::ChooseFont);
        QCOMPARE(m_fakes->fontDialog.flags(), 259);
        QCOMPARE(text(Role::Document), document);
        QCOMPARE(get(Role::Body)->font().pointSizeF(), 9.75);
        QCOMPARE(m_fakes->messageBox.shown.size(), qsizetype(!colour.isValid()));
        for (const auto &shown : m_fakes->messageBox.shown)
            QVERIFY(shown.title == u"Zelvora"_s
                    && shown.prompt.endsWith(u"380\rプロパティの値が不正です。"_s));
        const QFont now = box->font();
        if (colour.isValid())
            QCOMPARE(FontChoices::of(box), choice);
        else
            QCOMPARE(now, font);
        click(Role::ShowDocument);
        click(Role::ClearAll);
        QCOMPARE(box->font(), now);
        QCOMPARE(box->palette().color(QPalette::Text), colour.isValid() ? colour : black);
    }

    void week_data()
    {
        // between: what the author does between two sends; asked: the second send's question
        columns<QString, QString>({ "between", "asked" });
        QTest::newRow("quit and start again")
            << u"restart"_s << u"この文書は 2026/12/07 10:00 に同じ宛先へ送信済みです。"_s;
        QTest::newRow("time-out after the whole message")
            << u"timeout"_s << u"この文書は 2026/12/07 10:00 に同じ宛先へ送信した可能性"_s;
        const QString stale = u"文書を作った後に、次の欄が変わっています: 発行号、本文。"_s;
        QTest::newRow("本文 and 発行号 changed") << u"body"_s << stale;
        QTest::newRow("本文 and 発行号 changed, このまま送信する") << u"anyway"_s << stale;
        QTest::newRow("the body changed, made again") << u"remade"_s << QString();
        QTest::newRow("the first send failed") << u"failed"_s << QString();
    }
    // The same document never reaches the list twice unasked; Enter and Escape send nothing.
    void week()
    {
        QFETCH(QString, between);
        QFETCH(QString, asked);
        const auto compose = [&] {
            setText(Role::Body, u"今週の話題"_s);
            setText(Role::RecipientAddress, u"list@example.jp"_s);
            click(Role::ShowDocument);
        };
        compose();
        if (between == u"timeout"_s || between == u"failed"_s) {
            m_fakes->mail.failure = Error { 32002, u"止めました"_s };
            m_fakes->mail.readAllBeforeFailing = between == u"timeout"_s;
        }
        click(Role::Send);
        m_fakes->mail.failure.reset();
        if (between == u"restart"_s) {
            m_form = std::make_unique<Form1>(m_fakes->services(), nullptr);
            compose();
        } else if (between != u"failed"_s && between != u"timeout"_s) {
            setText(Role::Body, u"来週の話題"_s);
            setText(Role::IssueLine, u"第13号"_s);
            if (between == u"remade"_s)
                click(Role::ShowDocument);
        }
        const bool anyway = between == u"anyway"_s;
        if (anyway) // then はい to sending the same document again
            m_fakes->messageBox.answers = { 0, 0 };
        const qsizetype sends = m_fakes->mail.sent.size();
        m_fakes->messageBox.asked.clear();
        click(Role::Send);
        QCOMPARE(m_fakes->messageBox.asked.size(), asked.isEmpty() ? 0 : 1 + anyway);
        QCOMPARE(m_fakes->mail.sent.size(), sends + (asked.isEmpty() || anyway ? 1 : 0));
        const auto question = m_fakes->messageBox.asked.value(0);
        QCOMPARE(question.question.left(asked.size()), asked);
        QCOMPARE(question.defaultButton, asked.isEmpty() ? 0 : 1); // いいえ, 戻る
    }

    void undo_data()
    {
        // command: what replaces the author's text; back: whether the text comes back
        columns<QString, QString, bool>({ "command", "undo", "back" });
        QTest::newRow("全てクリアー, Alt+U") << u"clear"_s << u"Alt+U"_s << true;
        QTest::newRow("全てクリアー, 元に戻す") << u"clear"_s << u"button"_s << true;
        QTest::newRow("全てクリアー, typing, Alt+U") << u"clear"_s << u"type, Alt+U"_s << false;
        QTest::newRow("作成文書の表示, Ctrl+Z") << u"show"_s << u"Ctrl+Z"_s << true;
        QTest::newRow("作成文書の消去, Ctrl+Z") << u"erase"_s << u"Ctrl+Z"_s << true;
    }
    // 全てクリアー empties all but the date and the list's choice; one key brings back what it
    // replaced.
    void undo()
    {
        QFETCH(QString, command);
        QFETCH(QString, undo);
        QFETCH(bool, back);
        setText(Role::Body, u"本文"_s);
        setText(Role::RecipientAddress, u"list@example.jp"_s);
        click(Role::ShowDocument);
        focus(QString::fromLatin1(Role::Document));
        QTest::keyClicks(get(Role::Document), u"edit"_s);
        setText(Role::DateBox, u"2026/12/06"_s);
        select(2);
        QMap<QString, QString> before;
        for (const char *role : Role::Fields)
            before.insert(QString::fromLatin1(role), text(role));
        QStringList heard;
        connect(m_form.get(), &Form1::clearedAll, this, [&] { heard << text(Role::Body); });
        connect(m_form.get(), &Form1::clearAllSettled, this, [&] { heard << text(Role::Body); });
        click(command == u"clear"_s      ? Role::ClearAll
                  : command == u"show"_s ? Role::ShowDocument
                                         : Role::EraseDocument);
        QVERIFY(text(Role::Document) != before.value(QString::fromLatin1(Role::Document)));
        for (const char *role : Role::Fields)
            if (command == u"clear"_s)
                QVERIFY2(text(role).isEmpty()
                             != (role == Role::DateBox || role == Role::Decorations),
                         role);
        QCOMPARE(combo(Role::IssueLabel)->count(), 17);
        auto note = m_form->findChild<QWidget *>(u"UndoNote"_s);
        QCOMPARE(note->isVisible(), command == u"clear"_s);
        if (undo.startsWith(u"type"_s))
            type(Role::Subtitle, u"新しい号"_s);
        if (undo.endsWith(u"Alt+U"_s))
            QTest::keyClick(m_form->windowHandle(), Qt::Key_U, Qt::AltModifier); // clicks later
        else if (undo == u"button"_s)
            QTest::mouseClick(note->findChild<QWidget *>(u"undoButton"_s), Qt::LeftButton);
        else
            QTest::keyClick(focus(QString::fromLatin1(Role::Document)), Qt::Key_Z,
                            Qt::ControlModifier);
        QTRY_VERIFY(!note->isVisible());
        for (const char *role : Role::Fields)
            if (back || role == Role::DateBox)
                QCOMPARE(text(role), before.value(QString::fromLatin1(role)));
        if (command == u"clear"_s)
            QCOMPARE(heard, (QStringList { u"本文"_s, back ? u"本文"_s : QString() }));
    }

    void assembleAndErase()
    {
        type(Role::Subtitle, u"ねこ通信"_s);
        type(Role::Body, u"本文"_s);
        QTest::keyClick(get(Role::Body), Qt::Key_Return);
        QTest::keyClicks(get(Role::Body), u"."_s);
        combo(Role::ClosingLine)->setCurrentIndex(0);
        const QString separator(42, u'-');
        const QString expected = u"ねこ通信\r\nHomepage  :\r\nE-mail    \u3000 :\r\n\r\n"_s
            + Signature + u"\r\n"_s + separator + u"\r\n本文\r\n.\r\n"_s + Closing;
        for (const char *button : { Role::ShowDocument, Role::EraseDocument, Role::ShowDocument })
            click(button); // made, erased, made again from the fields
        QCOMPARE(text(Role::Document), expected);
        type(Role::Document, u"編集"_s); // edits are replaced by the next assembly
        click(Role::ShowDocument);
        QCOMPARE(text(Role::Document), expected);
        // The title line joins the decorations and the subtitle as they are, nothing trimmed.
        for (const char *name : { Role::StartDecoration, Role::Subtitle, Role::EndDecoration })
            setText(name, u" %1\u00A0\u2028 "_s.arg(QString::fromLatin1(name)));
        click(Role::ShowDocument);
        QCOMPARE(text(Role::Document).section(u"\r\n"_s, 0, 0),
                 u" Text1\u00A0\u2028  Text2\u00A0\u2028  Text3\u00A0\u2028 "_s);
        QVERIFY(m_fakes->messageBox.shown.isEmpty());
    }

    // The version window: modal, focus round three buttons, the homepage opened, OK closes it.
    void versionWindow()
    {
        // A click through the window system, where modality applies, on 作成文書の消去.
        const QPoint at = get(Role::EraseDocument)->mapTo(m_form.get(), QPoint(10, 10));
        QCOMPARE(m_form->childAt(at), get(Role::EraseDocument));
        setText(Role::Document, u"文書"_s);
        QStringList seen;
        QTimer::singleShot(0, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            seen << modal->objectName() + u'/' + modal->parentWidget()->objectName();
            QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, at);
            for (int i = 0; i < 4; ++i) {
                seen << QApplication::focusWidget()->objectName();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            seen << (modal->isVisible() ? u"open"_s : u"closed"_s);
            auto homepage = modal->findChild<QPushButton *>(u"Command1"_s);
            seen << homepage->text();
            QTest::mouseClick(homepage, Qt::LeftButton);
            QTest::mouseClick(modal->findChild<QWidget *>(u"Command3"_s), Qt::LeftButton);
        });
        action(u"mnuForm3"_s)->trigger();
        QCOMPARE(seen.join(u' '),
                 u"Form3/Form1 Command1 Command2 Command3 Command1 open "
                 u"https://www.tavrinsoft.example/"_s);
        QCOMPARE(m_fakes->shell.calls,
                 QList<QList<QByteArray>>(
                     { { "open", "https://www.tavrinsoft.example/", "", "", "1" } }));
        QVERIFY(!m_fakes->shell.calls[0][2].isNull() && !m_fakes->shell.calls[0][3].isNull());
        QCOMPARE(text(Role::Document), u"文書"_s);
        QVERIFY(!m_form->findChild<Form3 *>()); // nothing of the version window is left
    }

    // The body is marked in tints legible under yellow text; replace-all by the access key.
    void bodyMarks()
    {
        const auto body = static_cast<TextBox *>(focus(QString::fromLatin1(Role::Body)));
        type(Role::Body, u"番号①と㈱"_s);
        QTRY_COMPARE(markedTexts(body), QStringList({ u"①"_s, u"㈱"_s }));
        for (const QTextEdit::ExtraSelection &s : body->extraSelections()) {
            const QColor tint = s.format.background().color();
            QVERIFY(contrast(tint, Qt::black) >= 1.5 && contrast(tint, Qt::yellow) >= 4.5);
        }

        setText(Role::Body, u"A—B～C①"_s);
        QTextCursor at(body->document());
        at.setPosition(5);
        const QPoint pos = body->cursorRect(at).center();
        QContextMenuEvent click(QContextMenuEvent::Keyboard, pos,
                                body->viewport()->mapToGlobal(pos));
        QApplication::sendEvent(body->viewport(), &click);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_A);
        QCOMPARE(text(Role::Body), u"A―B〜C(1)"_s);
    }

    // The marks' question: 戻って直す sends nothing and puts the cursor at the first mark.
    void checkBeforeSending()
    {
        const QString document = u"本文①\r\n"_s + QString(50, u'x');
        TextMarker::of(static_cast<TextBox *>(get(Role::Document)))->setGuideWidth(40);
        setText(Role::RecipientAddress, u"list@example.jp"_s);
        setText(Role::Document, document);
        click(Role::Send);
        QVERIFY(m_fakes->mail.sent.isEmpty());
        QCOMPARE(text(Role::Document), document);
        QCOMPARE(m_fakes->messageBox.asked.size(), 1);
        const auto &asked = m_fakes->messageBox.asked[0];
        QVERIFY(asked.question.contains(u"40 桁を超える行"_s));
        QCOMPARE(asked.defaultButton, 1);
        QCOMPARE(QApplication::focusWidget(), get(Role::Document));
        QCOMPARE(static_cast<TextBox *>(get(Role::Document))->textCursor().position(), 2);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
