// The marks of the document box as the author meets them: the tooltip over a marked character,
// and the context menu's replacements, guide widths and wrap, each edit taken back by one Ctrl+Z.
#include "textbox.h"
#include "textmarker.h"
#include "windowtest.h"

#include <QMenu>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class TestTextMarker final : public QObject
{
    Q_OBJECT

    std::unique_ptr<TextBox> m_box;
    TextMarker *m_marker = nullptr;

    // Opens the context menu over the character at a document position and triggers the action
    // of that name; the action's text, or empty when the menu has no such action enabled.
    QString trigger(int position, const QString &name)
    {
        QTextCursor at(m_box->document());
        at.setPosition(position);
        const std::unique_ptr<QMenu> menu(
            m_marker->createContextMenu(m_box->cursorRect(at).center()));
        QAction *action = menu->findChild<QAction *>(name);
        if (!action || !action->isEnabled())
            return {};
        action->trigger();
        return action->text();
    }

private Q_SLOTS:
    void init()
    {
        m_box = std::make_unique<TextBox>(TextBox::Lines::Scrolling);
        m_marker = TextMarker::attach(m_box.get());
        m_box->resize(900, 300);
        m_box->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_box.get()));
    }
    void cleanup() { m_box.reset(); }

    void toolTip_data()
    {
        // heads: how each paragraph starts; replacement: the tip's last line where it offers one
        columns<QString, int, QStringList, QString>({ "text", "position", "heads", "replacement" });
        QTest::newRow("circled digit")
            << u"a①b"_s << 1 << QStringList { u"U+2460 CIRCLED DIGIT ONE\n"_s }
            << u"置き換え: 「(1)」"_s;
        QTest::newRow("no-break space")
            << u"a\u00A0b"_s << 1 << QStringList { u"U+00A0 NO-BREAK SPACE\n"_s }
            << u"置き換え: 半角スペース"_s;
        QTest::newRow("zero width space")
            << u"a\u200Bb"_s << 1 << QStringList { u"U+200B ZERO WIDTH SPACE\n"_s }
            << u"置き換え: 取り除く"_s;
        QTest::newRow("tab") << u"a\tb"_s << 1
                             << QStringList { u"U+0009 CHARACTER TABULATION\nタブです。"_s }
                             << u"置き換え: 半角スペース"_s;
        QTest::newRow("emoji, at its second half")
            << u"a😀b"_s << 2 << QStringList { u"U+1F600 GRINNING FACE\n"_s }
            << u"置き換え: 取り除く"_s;
        QTest::newRow("space at the end")
            << u"ab  "_s << 3 << QStringList { u"行末の空白"_s } << QString();
        QTest::newRow("past the guide, on the second line")
            << u"一行目\r\n"_s + QString(20, u'あ') + u"①"_s << 24
            << QStringList { u"幅 40 桁を超えた部分"_s, u"U+2460 CIRCLED DIGIT ONE\n"_s }
            << u"置き換え: 「(1)」"_s;
        QTest::newRow("not marked") << u"a①b"_s << 0 << QStringList() << QString();
    }
    void toolTip()
    {
        QFETCH(QString, text);
        QFETCH(int, position);
        QFETCH(QStringList, heads);
        m_box->setText(text);
        m_marker->setGuideWidth(40);
        const QString tip = m_marker->toolTipAt(position);
        const QStringList paragraphs = tip.isEmpty() ? QStringList() : tip.split(u"\n\n"_s);
        QCOMPARE(paragraphs.size(), heads.size());
        for (qsizetype i = 0; i < heads.size(); ++i)
            QVERIFY2(paragraphs[i].startsWith(heads[i]), qPrintable(tip));
        const QString last = tip.section(u'\n', -1);
        QTEST(last.startsWith(u"置き換え: "_s) ? last : QString(), "replacement");
    }

    void menu_data()
    {
        // at: where the menu is opened and the selection starts; selected: how many characters from
        // there; label: empty: the menu has no such action enabled
        columns<QString, int, int, QString, QString, QString>(
            { "text", "at", "selected", "action", "label", "edited" });

        const QString marked = u"①\u00A0ｶﾞ\u200B㈱😀\r\na\u00A0②"_s;
        QTest::newRow("replace ①")
            << marked << 0 << 0 << u"replaceMark"_s << u"「①」を「(1)」に置き換える(&R)"_s
            << u"(1)\u00A0ｶﾞ\u200B㈱😀\r\na\u00A0②"_s;
        QTest::newRow("replace a voiced kana")
            << marked << 2 << 0 << u"replaceMark"_s << u"「ｶﾞ」を「ガ」に置き換える(&R)"_s
            << u"①\u00A0ガ\u200B㈱😀\r\na\u00A0②"_s;
        QTest::newRow("replace a no-break space on the second line")
            << marked << 10 << 0 << u"replaceMark"_s << u"「U+00A0」を「 」に置き換える(&R)"_s
            << u"①\u00A0ｶﾞ\u200B㈱😀\r\na ②"_s;
        QTest::newRow("replace all uncarried") << marked << 0 << 0 << u"replaceAllMarks"_s
                                               << u"印の付いた 4 文字をすべて置き換える(&A)"_s
                                               << u"(1)\u00A0ガ\u200B(株)😀\r\na\u00A0(2)"_s;
        QTest::newRow("replace all invisible")
            << marked << 1 << 0 << u"replaceAllMarks"_s
            << u"印の付いた 3 文字をすべて置き換える(&A)"_s << u"① ｶﾞ㈱😀\r\na ②"_s;
        QTest::newRow("an emoji is removed, one at a time")
            << marked << 6 << 0 << u"replaceMark"_s << u"「😀」を取り除く(&R)"_s
            << u"①\u00A0ｶﾞ\u200B㈱\r\na\u00A0②"_s;
        QTest::newRow("replace all look-alikes, an emoji kept")
            << u"A—B～C①😀"_s << 1 << 0 << u"replaceAllMarks"_s
            << u"印の付いた 3 文字をすべて置き換える(&A)"_s << u"A―B〜C(1)😀"_s;
        QTest::newRow("nothing marked")
            << marked << 9 << 0 << u"replaceMark"_s << QString() << marked;

        // At 40 columns: 、 and 。 never start a line.
        const QString a17 = QString(17, u'あ'), a19 = QString(19, u'あ');
        const QString line = a19 + u"い、"_s + a17 + u"う。えお"_s;
        const QString wrapped = a19 + u"\r\nい、"_s + a17 + u"\r\nう。えお"_s;
        const QString lines = u"一行目\r\n"_s + line + u"\r\n"_s + line + u"\r\n"_s + line;
        QTest::newRow("wrap the cursor's line")
            << lines << 5 << 0 << u"wrapSelection"_s << u"選択範囲を折り返す(&W)"_s
            << u"一行目\r\n"_s + wrapped + u"\r\n"_s + line + u"\r\n"_s + line;
        QTest::newRow("wrap whole lines selected")
            << lines << 1 << 3 + 2 * int(line.size() + 1) << u"wrapSelection"_s
            << u"選択範囲を折り返す(&W)"_s
            << u"一行目\r\n"_s + wrapped + u"\r\n"_s + wrapped + u"\r\n"_s + line;
        // A link longer than the guide keeps a line of its own, whole; no line ends in a space.
        const QString url = u"https://www.example.jp/magazine/backnumber/2026/12/issue-13.html"_s;
        QTest::newRow("wrap around a link")
            << u"お知らせ\u3000"_s + url + u" まで。"_s << 0 << 0 << u"wrapSelection"_s
            << u"選択範囲を折り返す(&W)"_s << u"お知らせ\r\n"_s + url + u"\r\nまで。"_s;
    }
    void menu()
    {
        QFETCH(QString, text);
        QFETCH(int, at);
        QFETCH(int, selected);
        QFETCH(QString, action);
        m_box->setText(text);
        QTextCursor selection(m_box->document());
        selection.setPosition(at);
        selection.setPosition(at + selected, QTextCursor::KeepAnchor);
        m_box->setTextCursor(selection);
        QCOMPARE(trigger(at, u"guide40"_s), u"40 桁（全角 20 文字）"_s);
        QCOMPARE(m_marker->guideWidth(), 40);

        QTEST(trigger(at, action), "label");
        QTEST(m_box->text(), "edited");
        QTest::keyClick(m_box.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_box->text(), text);
    }
};

QTEST_MAIN(TestTextMarker)
#include "tst_textmarker.moc"
