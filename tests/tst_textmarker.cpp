// The marks of a text box as the author meets them: tooltips, the context menu, the guide, and
// typing through an input method. CTest runs it at one and at two device pixels to the pixel.
#include "textbox.h"
#include "textmarker.h"
#include "windowtest.h"

#include <QAccessible>
#include <QApplication>
#include <QInputMethodEvent>
#include <QMenu>
#include <QTest>
#include <QTextBlock>

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
    QStringList marked() const { return markedTexts(m_box.get()); }
    // The leftmost column, in device pixels, in that colour beside the line; -1 where none is.
    int columnOf(QRgb colour, int line) const
    {
        const QImage shot = m_box->grab(m_box->viewport()->geometry()).toImage();
        const qreal ratio = shot.devicePixelRatio();
        const QRect r = m_box->cursorRect(QTextCursor(m_box->document()->findBlockByNumber(line)));
        int leftmost = -1;
        for (int y = int(r.top() * ratio); y < int((r.bottom() + 1) * ratio); ++y) {
            for (int x = 0; x < shot.width() && (leftmost < 0 || x < leftmost); ++x)
                leftmost = shot.pixel(x, y) == colour ? x : leftmost;
        }
        return leftmost;
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
        QTextCursor cursor(m_box->document());
        cursor.setPosition(position);
        m_box->setTextCursor(cursor);
        // Screen readers find it as the box's description while the cursor is before it.
        const QString tip = m_marker->toolTipAt(position);
        QCOMPARE(QAccessible::queryAccessibleInterface(m_box.get())->text(QAccessible::Description),
                 tip);
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

    void guide_data()
    {
        columns<QString, QString>({ "font", "line" });
        for (const QString &font : { u"IPAPGothic"_s, u"IPAGothic"_s }) {
            QTest::addRow("%s, 36 kana", qPrintable(font)) << font << QString(36, u'あ');
            // The 32nd kana would take the 70th and 71st columns: it is past the guide.
            QTest::addRow("%s, a kana across", qPrintable(font))
                << font << u"Zelvora"_s + QString(40, u'か');
        }
    }
    // The tint past the guide starts just right of it, in a proportional font as in a fixed one.
    // Beside an empty line the guide stands 35 ideographic spaces (13 pixels each) from the
    // margin, where the author sees it, or nowhere: never on the viewport's last column.
    void guide()
    {
        QFETCH(QString, font);
        QFETCH(QString, line);
        QFont face(font);
        face.setPointSizeF(9.75);
        m_box->setFont(face);
        QCOMPARE(QFontInfo(m_box->font()).family(), font);
        m_box->setText(line + u"\r\n"_s);
        QTRY_VERIFY(!marked().isEmpty());
        const qreal ratio = m_box->devicePixelRatioF();
        const QRgb blue = qRgb(110, 150, 210);
        // The guide covers the tint's first column.
        QCOMPARE(columnOf(qRgb(255, 243, 176), 0), columnOf(blue, 0) + qRound(ratio));
        QCOMPARE(columnOf(blue, 1), qRound(459 * ratio));
        for (int spare : { 1, 2 }) {
            m_box->resize(m_box->width() - m_box->viewport()->width() + 459 + spare, 300);
            QCOMPARE(columnOf(blue, 1) >= 0, spare == 2);
        }
        const auto named
            = QAccessible::queryAccessibleInterface(m_box->findChild<QWidget *>(u"guide"_s));
        QCOMPARE(named->text(QAccessible::Name), u"文字数の目安"_s);
    }

    void composing_data()
    {
        // at: where the input method composes; the marks drawn while it composes, and after 漢字
        // is committed
        columns<QString, int, QStringList, QStringList>({ "text", "at", "composing", "committed" });
        QTest::newRow("a marked line")
            << u"①あ②い"_s << 2 << QStringList { u"①"_s } << QStringList { u"①"_s, u"②"_s };
        QTest::newRow("past the guide") << QString(40, u'あ') << 38 << QStringList { u"あああ"_s }
                                        << QStringList { u"あああ漢字ああ"_s };
    }
    // The input method's underline and highlighted segment stay as it draws them; no mark is drawn
    // on or after the composed text until it is committed.
    void composing()
    {
        QFETCH(QString, text);
        QFETCH(int, at);
        QFETCH(QStringList, composing);
        QFETCH(QStringList, committed);
        m_box->setText(text);
        QTextCursor cursor(m_box->document());
        cursor.setPosition(at);
        m_box->setTextCursor(cursor);
        QTextCharFormat underline, segment;
        underline.setUnderlineStyle(QTextCharFormat::SingleUnderline);
        segment.setBackground(QColor(0, 0, 160));
        QInputMethodEvent preedit(u"かんじ"_s,
                                  { { QInputMethodEvent::TextFormat, 0, 2, underline },
                                    { QInputMethodEvent::TextFormat, 2, 1, segment },
                                    { QInputMethodEvent::Cursor, 3, 1, {} } });
        QApplication::sendEvent(m_box.get(), &preedit);
        const auto formats = m_box->document()->firstBlock().layout()->formats();
        QVERIFY(formats.size() == 2 && formats[0].start == at && formats[0].format.fontUnderline()
                && formats[1].format.background() == segment.background());
        QTRY_COMPARE(marked(), composing);
        QInputMethodEvent commit;
        commit.setCommitString(u"漢字"_s);
        QApplication::sendEvent(m_box.get(), &commit);
        QTRY_COMPARE(marked(), committed);
    }
};

QTEST_MAIN(TestTextMarker)
#include "tst_textmarker.moc"
