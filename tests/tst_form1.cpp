// The main window as a user meets it: layout read back from the live widgets, text boxes that
// keep every character, the keyboard, menus, the fill and clear buttons, assembly and quitting.
#include "catalogues.h"
#include "fakes.h"
#include "form1.h"
#include "textbox.h"
#include "textmarker.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
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
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    }
    void cleanup() { m_form.reset(); }

    void opensAsDesigned()
    {
        QCOMPARE(m_form->windowTitle(), u"Zelvora   Ver1.0"_s);
        QCOMPARE(m_form->centralWidget()->size(), QSize(687, 576));
        QVERIFY(!(m_form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(QApplication::focusWidget(), get(u"Text1"_s));
        QCOMPARE(text(u"Text11"_s), u"V\uFF08\uFF3E0\uFF3E\uFF09毎度っ\uFF01\u3000by - "_s);
        QCOMPARE(combo(u"Combo1"_s)->count(), Catalogues::issueLabels().size());
    }

    // Every control sits where its design row puts it (15 twips to a pixel), in its colours (the
    // buttons' fill is read from the screen by tst_access),
    // also after the window was resized; labels keep their place and size themselves.
    void layoutAndColours()
    {
        m_form->resize(300, 200);
        for (const FormDesign::Control &row : Form1::design()) {
            const QRect designed(qRound(row.left / 15.0), qRound(row.top / 15.0),
                                 qRound(row.width / 15.0), qRound(row.height / 15.0));
            QWidget *w = get(QString::fromLatin1(row.name));
            QCOMPARE(row.kind == FormDesign::Kind::Label ? QRect(w->pos(), designed.size())
                                                         : w->geometry(),
                     designed);
            const bool field = row.kind != FormDesign::Kind::Button
                && row.kind != FormDesign::Kind::Frame && row.kind != FormDesign::Kind::Label;
            if (field)
                QCOMPARE(text(w->objectName()), QString::fromUtf16(row.text));
            if (field && row.background)
                QCOMPARE(w->palette().color(QPalette::Base), QColor(*row.background));
            if (row.foreground)
                QCOMPARE(w->palette().color(field ? QPalette::Text : QPalette::WindowText),
                         QColor(*row.foreground));
        }
        QCOMPARE(get(u"Text11"_s)->parentWidget(), get(u"Frame3"_s));
        QCOMPARE(m_form->centralWidget()->palette().color(QPalette::Window), QColor(192, 192, 192));
        QCOMPARE(get(u"Text1"_s)->font().families().value(0), u"ＭＳ Ｐゴシック"_s);
        QCOMPARE(get(u"Text7"_s)->font().pointSizeF(), 9.75);
        QVERIFY(get(u"Label1"_s)->height() <= 16); // one line of its text

        const QObjectList order = m_form->centralWidget()->children();
        auto z = [&](const char16_t *name) { return order.indexOf(get(QString::fromUtf16(name))); };
        QVERIFY(z(u"Frame1") < z(u"Text1") && z(u"Frame2") < z(u"Combo2"));
        QVERIFY(z(u"Combo1") > z(u"Text9") && z(u"Combo1") > z(u"Text6"));
        QVERIFY(z(u"Command7") > z(u"Text6"));
    }

    void tabOrder()
    {
        const QStringList expected
            = u"Text1 List1 Command1 Text2 Text3 Command2 Command3 Command4 Text4 Text5 Text6 "
              u"Text7 Command6 Text Text9 Command7 Text11 Combo1 Combo2 Command9 Command8 "
              u"Command5 Text8 Text10 Text1"_s.split(u' ');
        QStringList visited;
        for (int i = 0; i < expected.size(); ++i) {
            QWidget *focus = QApplication::focusWidget();
            if (qobject_cast<QComboBox *>(focus->parentWidget())) // its line edit has the focus
                focus = focus->parentWidget();
            visited << focus->objectName();
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        QCOMPARE(visited, expected);
        for (const QString &box : { u"Text6"_s, u"Text7"_s, u"Text"_s })
            QVERIFY(!text(box).contains(u'\t'));
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
    // the homepage button has the shell open the address it shows, and OK closes it.
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
            auto homepage = modal->findChild<QPushButton *>(u"Command1"_s);
            seen << homepage->text();
            QTest::mouseClick(homepage, Qt::LeftButton);
            QTest::mouseClick(modal->findChild<QWidget *>(u"Command3"_s), Qt::LeftButton);
        });
        action(u"mnuForm3"_s)->trigger();
        QCOMPARE(seen,
                 (QStringList { u"Form3/Form1"_s, u"Command1"_s, u"Command2"_s, u"Command3"_s,
                                u"Command1"_s, u"https://www.tavrinsoft.example/"_s }));
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

    void checkBeforeSending_data()
    {
        QTest::addColumn<QString>("document"); // empty: the assembled document of a new window
        QTest::addColumn<QList<int>>("answers");
        const QString sample = u"番号①と㈱\r\nﾊﾝｶｸ😀\r\nA\u00A0B\u200B \r\n"_s + QString(80, u'x');
        QTest::newRow("戻って直す") << sample << QList<int> {};
        QTest::newRow("送信する") << sample << QList<int> { 0 };
        QTest::newRow("nothing marked") << QString() << QList<int> {};
    }
    // Marked characters or a long line are sent, byte for byte, only when the sender says so;
    // 戻って直す hands nothing off, changes nothing and puts the cursor at the first place.
    void checkBeforeSending()
    {
        QFETCH(QString, document);
        QFETCH(QList<int>, answers);
        m_fakes.messageBox.answers = answers;
        m_fakes.messageBox.asked.clear();
        m_fakes.mail.handedOff.clear();
        document.isEmpty() ? click(u"Command3"_s) : setText(u"Text"_s, document);
        const QString before = text(u"Text"_s);
        click(u"Command9"_s);
        const bool asked = !document.isEmpty(), sent = !asked || !answers.isEmpty();
        QCOMPARE(m_fakes.mail.handedOff, sent ? QStringList { before } : QStringList {});
        QCOMPARE(text(u"Text"_s), before);
        QCOMPARE(m_fakes.messageBox.asked.size(), asked ? 1 : 0);
        if (!asked)
            return;
        const auto &question = m_fakes.messageBox.asked.first();
        QCOMPARE(question.buttons, (QStringList { u"送信する(&S)"_s, u"戻って直す(&B)"_s }));
        QCOMPARE(std::pair(question.defaultButton, question.escapeButton), std::pair(1, 1));
        QVERIFY(question.question.contains(u"7 個（最初は 行 1, 桁 5）"_s));
        if (!sent) {
            QCOMPARE(QApplication::focusWidget(), get(u"Text"_s));
            QCOMPARE(static_cast<TextBox *>(get(u"Text"_s))->textCursor().position(), 2);
        }
    }

    // The document box's context menu: a replacement and a wrap are one undo step each; the
    // wrap keeps the URL whole, puts no closing bracket or 、。 first and changes nothing else.
    void replaceAndWrap()
    {
        auto box = static_cast<TextBox *>(get(u"Text"_s));
        const QString url = u"https://www.example.jp/magazine/backnumber/2026-12.html"_s;
        QString paragraph;
        for (int i = 0; paragraph.size() < 300; ++i)
            paragraph
                += u"今月号では「読みやすい一行」について、%1番目の話題を取り上げます。"_s.arg(i)
                + (i == 3 ? u"（詳しくは"_s + url + u"をご覧ください）"_s : QString());
        const QString document = u"①の話\r\n"_s + paragraph + u"\r\n以上"_s;
        setText(u"Text"_s, document);
        const auto menuAt = [&](int position, const QString &name) {
            QTextCursor at(box->document());
            at.setPosition(position);
            std::unique_ptr<QMenu> menu(
                TextMarker::of(box)->createContextMenu(box->cursorRect(at).center()));
            QAction *action = menu->findChild<QAction *>(name);
            return action ? (action->trigger(), action->text()) : QString();
        };
        QCOMPARE(menuAt(0, u"replaceMark"_s), u"「①」を「(1)」に置き換える"_s);
        QCOMPARE(text(u"Text"_s), u"(1)"_s + document.mid(1));
        box->undo();
        QCOMPARE(text(u"Text"_s), document);

        box->moveCursor(QTextCursor::NextBlock); // the paragraph's line
        QCOMPARE(menuAt(6, u"wrapSelection"_s), u"選択範囲を折り返す(&W)"_s);
        const QStringList lines = text(u"Text"_s).split(u"\r\n"_s);
        QCOMPARE(lines.join(QString()), document.split(u"\r\n"_s).join(QString()));
        for (const QString &line : lines) {
            QVERIFY(TextMarks::columns(line) <= 70 && !u"）」』】〕〉》、。"_s.contains(line[0]));
            QVERIFY(!line.contains(u"https:"_s) || line.contains(url));
        }
        box->undo();
        QCOMPARE(text(u"Text"_s), document);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
