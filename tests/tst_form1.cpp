// The main window as a user meets it: layout read back from the live widgets, text boxes that
// keep every character, the keyboard, the catalogues, the menus, assembly and quitting.
#include "app/form1.h"
#include "compose/catalogues.h"
#include "fakes.h"
#include "platform/textbox.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
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
    void cleanup();

    void opensAsDesigned();
    void geometryAndStyle_data();
    void geometryAndStyle();
    void stacking();
    void textRoundTrip_data();
    void textRoundTrip();
    void enterKey_data();
    void enterKey();
    void tabOrder();
    void comboKeepsTypedTextOut();
    void listText();
    void menuTree();
    void emptyMenuItemDoesNothing();
    void accessories_data();
    void accessories();
    void failedLaunchKeepsTheWork();
    void assemblyThroughClicks();
    void versionWindowIsModal();
    void quit_data();
    void quit();
    void resizeMovesNothing();

private:
    template<typename T = QWidget> T *get(const char *name) const
    {
        auto w = m_form->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QString text(const char *name) const { return ControlText::text(get(name)); }
    // Japanese is typed through the input method: committed text, as the user sees it.
    static void type(QWidget *w, const QString &s)
    {
        if (auto combo = qobject_cast<QComboBox *>(w))
            w = combo->lineEdit();
        QInputMethodEvent event;
        event.setCommitString(s);
        QApplication::sendEvent(w, &event);
    }
    void click(const char *name) { QTest::mouseClick(get<QPushButton>(name), Qt::LeftButton); }
    QAction *action(const char *name) const
    {
        return m_form->findChild<QAction *>(QString::fromLatin1(name));
    }

    std::unique_ptr<FakeServices> m_fakes;
    std::unique_ptr<Form1> m_form;
};

void TestForm1::init()
{
    m_fakes = std::make_unique<FakeServices>();
    m_form = std::make_unique<Form1>(m_fakes->services(), nullptr);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestForm1::cleanup()
{
    m_form.reset();
    m_fakes.reset();
}

void TestForm1::opensAsDesigned()
{
    QCOMPARE(m_form->windowTitle(), u"Zelvora   Ver1.0"_qs);
    QCOMPARE(m_form->centralWidget()->size(), QSize(687, 576));
    QVERIFY(!(m_form->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(m_form->windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(QApplication::focusWidget(), get("Text1"));

    QCOMPARE(text("Text4"), u"Homepage  :"_qs);
    QCOMPARE(text("Text5"), u"E-mail    \u3000 :"_qs);
    QCOMPARE(text("Text11"), u"V\uFF08\uFF3E0\uFF3E\uFF09毎度っ\uFF01\u3000by - "_qs);
    QCOMPARE(text("Text"), u"作成した文書がこの欄に表示されます。"_qs);
    for (const char *empty : { "Text1", "Text2", "Text3", "Text6", "Text7", "Text8", "Text9",
                               "Text10", "List1", "Combo1", "Combo2" })
        QVERIFY2(text(empty).isEmpty(), empty);

    QCOMPARE(get<QListWidget>("List1")->count(), 16);
    QCOMPARE(get<QComboBox>("Combo1")->count(), 17);
    QCOMPARE(get<QComboBox>("Combo2")->count(), 2);
    QCOMPARE(get<QComboBox>("Combo1")->currentIndex(), -1);
    QCOMPARE(get("Text11")->toolTip(), u"配信者の署名を書くところです"_qs);
    QCOMPARE(get("Combo2")->toolTip(), u"選択できます"_qs);
    QCOMPARE(get("Text")->toolTip(), u"作成文書は編集可能です"_qs);
    QCOMPARE(get<QPushButton>("Command9")->text(), u"標準メールハンドラで メッセージ送信"_qs);
    QCOMPARE(get<QLabel>("Label5")->text(), u"本\u3000文"_qs);
}

void TestForm1::geometryAndStyle_data()
{
    // Expected rectangles in pixels, worked out by hand from the design's twips.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("Text1") << u"Text1"_qs << QRect(16, 56, 121, 18);
    QTest::newRow("Text2") << u"Text2"_qs << QRect(144, 54, 305, 27);
    QTest::newRow("Text11 in Frame3") << u"Text11"_qs << QRect(8, 16, 185, 18);
    QTest::newRow("Frame3") << u"Frame3"_qs << QRect(384, 104, 201, 41);
    QTest::newRow("List1") << u"List1"_qs << QRect(592, 112, 89, 92);
    QTest::newRow("Text7") << u"Text7"_qs << QRect(16, 232, 561, 97);
    QTest::newRow("Text") << u"Text"_qs << QRect(16, 384, 441, 185);
    QTest::newRow("Command9") << u"Command9"_qs << QRect(464, 536, 217, 33);
    QTest::newRow("Text10") << u"Text10"_qs << QRect(560, 512, 121, 18);
}

void TestForm1::geometryAndStyle()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    QCOMPARE(get(name.toLatin1().constData())->geometry(), rect);

    static bool styleChecked = false;
    if (styleChecked)
        return;
    styleChecked = true;
    QCOMPARE(get("Text11")->parentWidget(), get("Frame3"));
    QCOMPARE(m_form->centralWidget()->palette().color(QPalette::Window), QColor(192, 192, 192));
    QCOMPARE(get("Text7")->palette().color(QPalette::Base), QColor(0, 0, 0));
    QCOMPARE(get("Text7")->palette().color(QPalette::Text), QColor(255, 255, 0));
    QCOMPARE(get("Combo1")->palette().color(QPalette::Base), QColor(255, 224, 192));
    QCOMPARE(get("Command8")->palette().color(QPalette::Button), QColor(192, 255, 255));
    QCOMPARE(get("Command9")->palette().color(QPalette::Button), QColor(192, 192, 255));
    QCOMPARE(get("Frame3")->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    QCOMPARE(get("Text1")->font().families().value(0), u"ＭＳ Ｐゴシック"_qs);
    QCOMPARE(get("Text1")->font().pointSizeF(), 8.25);
    QCOMPARE(get("Text7")->font().pointSizeF(), 9.75);
    QCOMPARE(get("Text4")->font().pointSizeF(), 9.0);
    QCOMPARE(get<QLineEdit>("Text2")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(get<QLabel>("Label6")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    // Labels fit their text: no longer than a line of the 9-point face.
    QVERIFY(get("Label1")->height() <= 16);
    for (const char *name : { "Label1", "Frame1", "Frame3" })
        QCOMPARE(get(name)->focusPolicy(), Qt::NoFocus);
}

void TestForm1::stacking()
{
    const QObjectList order = m_form->centralWidget()->children();
    auto z = [&](const char *name) { return order.indexOf(get(name)); };
    QVERIFY(z("Frame1") < z("Text1"));
    QVERIFY(z("Frame1") < z("Text3"));
    QVERIFY(z("Frame2") < z("Combo2"));
    QVERIFY(z("Combo1") > z("Text9"));
    QVERIFY(z("Combo1") > z("Text6"));
    QVERIFY(z("Command7") > z("Text6"));
}

void TestForm1::textRoundTrip_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("value");
    const QString tricky = u"a\u00A0b\u2028c\u3000ＡＢＣ！？\uFF5E~ -- "_qs;
    for (const char *box : { "Text1", "Text9", "Text11", "Text6", "Text7", "Text", "Combo1" })
        QTest::addRow("%s: no-break, line separator, ideographic space, fullwidth", box)
            << QString::fromLatin1(box) << tricky;
    for (const char *box : { "Text6", "Text7", "Text" }) {
        QTest::addRow("%s: lines", box) << QString::fromLatin1(box) << u"一\r\n\r\n 二 \r\n"_qs;
        QTest::addRow("%s: leading break", box) << QString::fromLatin1(box) << u"\r\nx"_qs;
    }
    QTest::newRow("Text1 keeps CR LF too") << u"Text1"_qs << u"a\r\nb"_qs;
}

void TestForm1::textRoundTrip()
{
    QFETCH(QString, box);
    QFETCH(QString, value);
    QWidget *w = get(box.toLatin1().constData());
    ControlText::setText(w, value);
    QCOMPARE(ControlText::text(w), value);
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
    QWidget *w = get(box.toLatin1().constData());
    ControlText::setText(w, QString());
    w->setFocus();
    QTest::keyClicks(w, u"ab"_qs);
    QTest::keyClick(w, Qt::Key_Return, modifiers);
    QTest::keyClicks(w, u"cd"_qs);
    QCOMPARE(ControlText::text(w), expected);
    QVERIFY(m_fakes->messageBox.shown.isEmpty());
}

void TestForm1::tabOrder()
{
    const QStringList expected {
        u"Text1"_qs,    u"List1"_qs,    u"Command1"_qs, u"Text2"_qs,  u"Text3"_qs,
        u"Command2"_qs, u"Command3"_qs, u"Command4"_qs, u"Text4"_qs,  u"Text5"_qs,
        u"Text6"_qs,    u"Text7"_qs,    u"Command6"_qs, u"Text"_qs,   u"Text9"_qs,
        u"Command7"_qs, u"Text11"_qs,   u"Combo1"_qs,   u"Combo2"_qs, u"Command9"_qs,
        u"Command8"_qs, u"Command5"_qs, u"Text8"_qs,    u"Text10"_qs, u"Text1"_qs,
    };
    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        // An editable combo's line edit holds the focus for it.
        if (qobject_cast<QComboBox *>(focus->parentWidget()))
            focus = focus->parentWidget();
        visited << focus->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    QCOMPARE(visited, expected);
    // Tab moved on from the multi-line boxes without writing a tab into them.
    for (const char *box : { "Text6", "Text7", "Text" })
        QVERIFY(!text(box).contains(u'\t'));
}

void TestForm1::comboKeepsTypedTextOut()
{
    auto combo = get<QComboBox>("Combo1");
    combo->setFocus();
    type(combo, u"週"_qs);
    QCOMPARE(text("Combo1"), u"週"_qs); // not completed to an entry
    QTest::keyClick(combo, Qt::Key_Return);
    QCOMPARE(combo->count(), 17);
    QCOMPARE(text("Combo1"), u"週"_qs);

    auto combo2 = get<QComboBox>("Combo2");
    combo2->setCurrentIndex(1);
    QCOMPARE(text("Combo2"), Catalogues::closingLines().at(1));
    combo2->setFocus();
    combo2->lineEdit()->end(false);
    QTest::keyClick(combo2, Qt::Key_Backspace);
    QTest::keyClicks(combo2, u"!"_qs);
    QCOMPARE(text("Combo2"), Catalogues::closingLines().at(1).chopped(1) + u'!');
    QTest::keyClick(combo2, Qt::Key_Return);
    QCOMPARE(combo2->count(), 2);
}

void TestForm1::listText()
{
    auto list = get<QListWidget>("List1");
    list->setFocus(); // focus alone selects nothing
    QCOMPARE(text("List1"), QString());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(3)).center());
    QCOMPARE(text("List1"), Catalogues::decorations().at(3));
    QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
}

void TestForm1::menuTree()
{
    const QList<QAction *> bar = m_form->menuBar()->actions();
    QCOMPARE(bar.size(), 2);
    QCOMPARE(bar[0]->text(), u"Windows付属アプリの起動"_qs);
    QCOMPARE(bar[1]->text(), u"ヘルプ"_qs);
    QStringList file, help;
    for (QAction *a : bar[0]->menu()->actions()) {
        QVERIFY(!a->isSeparator());
        QVERIFY(a->isEnabled() && a->isVisible() && a->shortcut().isEmpty() && !a->isCheckable());
        file << a->objectName() + u'=' + a->text();
    }
    for (QAction *a : bar[1]->menu()->actions())
        help << a->objectName() + u'=' + a->text();
    QCOMPARE(file,
             QStringList({ u"mnuHeee="_qs, u"mnuDen=電卓"_qs, u"mnuMemo=メモ帳"_qs,
                           u"mnuFileExit=終了"_qs }));
    QCOMPARE(help, QStringList({ u"mnuForm3=バージョン情報"_qs }));
}

void TestForm1::emptyMenuItemDoesNothing()
{
    ControlText::setText(get("Text7"), u"本文"_qs);
    action("mnuHeee")->trigger();
    QVERIFY(m_form->isVisible());
    QVERIFY(m_fakes->launcher.started.isEmpty());
    QVERIFY(m_fakes->messageBox.shown.isEmpty());
    QCOMPARE(text("Text7"), u"本文"_qs);
}

void TestForm1::accessories_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("commandLine");
    QTest::newRow("calculator") << u"mnuDen"_qs << u"calc.exe"_qs;
    QTest::newRow("text editor") << u"mnuMemo"_qs << u"NOTEPAD.EXE"_qs;
}

void TestForm1::accessories()
{
    QFETCH(QString, item);
    QFETCH(QString, commandLine);
    action(item.toLatin1().constData())->trigger();
    action(item.toLatin1().constData())->trigger();
    const std::pair<QString, int> launch { commandLine, 1 };
    QCOMPARE(m_fakes->launcher.started, QList({ launch, launch }));
    QVERIFY(m_form->isVisible());
}

void TestForm1::failedLaunchKeepsTheWork()
{
    ControlText::setText(get("Text7"), u"書きかけの本文\r\n二行目"_qs);
    ControlText::setText(get("Text"), u"未送信の文書"_qs);
    m_fakes->launcher.failure = Error { 53, u"ファイルが見つかりません。"_qs };
    action("mnuDen")->trigger();

    QCOMPARE(m_fakes->messageBox.shown.size(), 1);
    const auto &box = m_fakes->messageBox.shown.first();
    QCOMPARE(box.title, u"Zelvora"_qs);
    QVERIFY(box.prompt.contains(u"53"_qs));
    QVERIFY(box.prompt.contains(u"ファイルが見つかりません。"_qs));
    QVERIFY(m_form->isVisible());
    QCOMPARE(text("Text7"), u"書きかけの本文\r\n二行目"_qs);
    QCOMPARE(text("Text"), u"未送信の文書"_qs);

    // And the window still works afterwards.
    m_fakes->launcher.failure.reset();
    action("mnuMemo")->trigger();
    QCOMPARE(m_fakes->launcher.started.size(), 2);
}

void TestForm1::assemblyThroughClicks()
{
    type(get("Text2"), u"ねこ通信"_qs);
    type(get("Text7"), u"本文"_qs);
    QTest::keyClick(get("Text7"), Qt::Key_Return);
    QTest::keyClicks(get("Text7"), u"."_qs);
    get<QComboBox>("Combo2")->setCurrentIndex(0);
    click("Command3");
    const QString expected = u"ねこ通信\r\nHomepage  :\r\nE-mail    \u3000 :\r\n\r\n"
                             u"V\uFF08\uFF3E0\uFF3E\uFF09毎度っ\uFF01\u3000by - \r\n"_qs
        + QString(42, u'-') + u"\r\n本文\r\n.\r\n"_qs + Catalogues::closingLines().at(0);
    QCOMPARE(text("Text"), expected);

    type(get("Text"), u"編集"_qs);
    click("Command3");
    QCOMPARE(text("Text"), expected);
}

void TestForm1::versionWindowIsModal()
{
    // The click goes through the window system, where modality applies; without the version
    // window it erases the document.
    const QPoint at = get("Command4")->mapTo(m_form.get(), QPoint(10, 10));
    ControlText::setText(get("Text"), u"文書"_qs);
    QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, at);
    QCOMPARE(text("Text"), QString());

    ControlText::setText(get("Text2"), u"サブタイトル"_qs);
    ControlText::setText(get("Text"), u"文書"_qs);
    QString seen;
    bool clickedThrough = false;
    QTimer::singleShot(0, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        seen = modal->objectName() + u'/' + modal->parentWidget()->objectName();
        // The main window refuses clicks while the version window is open.
        QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, at);
        clickedThrough = text("Text").isEmpty();
        QTest::mouseClick(modal->findChild<QPushButton *>(u"Command3"_qs), Qt::LeftButton);
    });
    action("mnuForm3")->trigger();
    QCOMPARE(seen, u"Form3/"_qs + m_form->objectName());
    QVERIFY(!clickedThrough);
    QCOMPARE(text("Text2"), u"サブタイトル"_qs);
    QCOMPARE(text("Text"), u"文書"_qs);
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
    ControlText::setText(get("Text"), u"未送信"_qs);
    if (fromMenu)
        action("mnuFileExit")->trigger();
    else
        click("Command6");
    QVERIFY(!m_form->isVisible());
    QVERIFY(m_fakes->messageBox.shown.isEmpty());
}

void TestForm1::resizeMovesNothing()
{
    const QRect before = get("Command9")->geometry();
    m_form->resize(m_form->width() + 200, m_form->height() + 150);
    QCOMPARE(get("Command9")->geometry(), before);
    m_form->resize(300, 200);
    QCOMPARE(get("Command9")->geometry(), before);
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
