#include "textmarker.h"

#include "linewrap.h"
#include "plainforms.h"
#include "textbox.h"

#include <QActionGroup>
#include <QEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolTip>

#include <unicode/uchar.h>

using namespace Qt::StringLiterals;
using TextMarks::Kind;

namespace {

// Each kind in its own style, readable on the box's white background and under a chosen text
// colour: characters get a tinted background (uncarried ones a red wavy underline as well),
// white space at a line's end and the part past the guide a paler tint.
QTextCharFormat styleOf(Kind kind)
{
    QTextCharFormat f;
    switch (kind) {
    case Kind::Uncarried:
        f.setBackground(QColor(255, 214, 214));
        f.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        f.setUnderlineColor(QColor(208, 0, 0));
        break;
    case Kind::Invisible:
        f.setBackground(QColor(255, 196, 96));
        break;
    case Kind::TrailingSpace:
        f.setBackground(QColor(200, 220, 245));
        break;
    case Kind::PastGuide:
        f.setBackground(QColor(255, 243, 176));
        break;
    }
    return f;
}

// The name Unicode gives the character, or an alias where it has none.
QString characterName(char32_t c)
{
    if (c == u'\t')
        return u"CHARACTER TABULATION"_s; // ICU keeps only the corrections among the aliases
    char buffer[128];
    for (UCharNameChoice choice :
         { U_UNICODE_CHAR_NAME, U_CHAR_NAME_ALIAS, U_EXTENDED_CHAR_NAME }) {
        UErrorCode error = U_ZERO_ERROR;
        const int32_t n = u_charName(UChar32(c), choice, buffer, sizeof buffer, &error);
        if (U_SUCCESS(error) && n > 0)
            return QString::fromLatin1(buffer, std::min<int32_t>(n, sizeof buffer));
    }
    return {};
}

// Why readers may not see the character as written.
QString whyMarked(char32_t c)
{
    if (c == u'\t')
        return u"タブです。読者のメールソフトによって幅が変わり、桁がそろいません。"_s;
    if (c == 0x00A0)
        return u"ノーブレークスペースです。空白に見えますが別の文字で、ISO-2022-JP では送れず、"
               u"「?」に化けることがあります。"_s;
    if (TextMarks::invisible(c))
        return u"幅のない文字、または書式や方向を制御する文字です。読者の画面では見えないまま"
               u"表示を崩したり、文字化けしたりします。"_s;
    return u"ISO-2022-JP（JIS X 0208）にない文字です。配信の途中で「?」に化けたり、配信を"
           u"断られたりして、読者にはこのとおりに見えないことがあります。"_s;
}

char32_t codePointAt(QStringView s, qsizetype i)
{
    if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(s[i], s[i + 1]);
    return s[i].unicode();
}

QString codePointLabel(char32_t c)
{
    return u"U+"_s + QString::number(uint(c), 16).toUpper().rightJustified(4, u'0');
}

// How a stretch reads in a menu: itself, or its code points where it cannot be seen.
QString shown(QStringView s)
{
    QStringList hidden;
    for (qsizetype i = 0; i < s.size(); i += s[i].isHighSurrogate() ? 2 : 1) {
        if (TextMarks::invisible(codePointAt(s, i)))
            hidden << codePointLabel(codePointAt(s, i));
    }
    QString text = hidden.isEmpty() ? s.toString() : hidden.join(u' ');
    return text.replace(u'&', u"&&"_s);
}

// Drawn over the box's viewport: the guide, and a small flag where a character that takes no
// room at all (zero-width space, direction mark) sits. Clicks go through it to the box.
class MarkOverlay final : public QWidget
{
public:
    MarkOverlay(TextBox *box, const TextMarker *marker)
        : QWidget(box)
        , m_box(box)
        , m_marker(marker)
    {
        setObjectName(u"guide"_s);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(box->viewport()->geometry());
    }

protected:
    // Paints only what the box repaints: typing repaints one line.
    void paintEvent(QPaintEvent *event) override
    {
        const QRect area = event->rect();
        QPainter painter(this);
        painter.setPen(QPen(QColor(110, 150, 210), 1));
        const int x = m_marker->guideX();
        painter.drawLine(x, area.top(), x, area.bottom());

        const QColor flag(230, 120, 0);
        for (QTextBlock block = m_box->cursorForPosition(QPoint(0, area.top())).block();
             block.isValid(); block = block.next()) {
            QTextCursor cursor(block);
            if (m_box->cursorRect(cursor).top() > area.bottom())
                break;
            const QString text = block.text();
            for (qsizetype i = 0; i < text.size(); ++i) {
                const char16_t c = text[i].unicode();
                if (!TextMarks::invisible(c) || c == u'\t' || c == 0x00A0 || c == 0x2028)
                    continue;
                cursor.setPosition(block.position() + int(i));
                const QRect r = m_box->cursorRect(cursor);
                painter.fillRect(r.left(), r.top(), 2, r.height(), flag);
                painter.fillRect(r.left() - 2, r.top(), 6, 2, flag);
            }
        }
    }

private:
    TextBox *m_box;
    const TextMarker *m_marker;
};

} // namespace

TextMarker::TextMarker(TextBox *box)
    : QObject(box)
    , m_box(box)
{
    setObjectName(u"marks"_s);
    // Marking follows each change of the text: a small one (typing) is marked at once, block by
    // block; after a large one (a document shown, a wrap of many lines) only the blocks on the
    // screen are marked, and the others when they come into view. Blocks without marks are
    // never given formats.
    connect(box->document(), &QTextDocument::contentsChange, this,
            [this](int from, int, int added) { markBlocks(from, added); });
    connect(box, &QPlainTextEdit::updateRequest, this, &TextMarker::markVisible);
    m_overlay = new MarkOverlay(box, this);
    box->installEventFilter(this);
    box->viewport()->installEventFilter(this);
    connect(box->horizontalScrollBar(), &QScrollBar::valueChanged, m_overlay,
            [this] { m_overlay->update(); });
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QWidget::customContextMenuRequested, this, [this](QPoint pos) {
        QMenu *menu = createContextMenu(pos);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(m_box->viewport()->mapToGlobal(pos));
    });
}

TextMarker *TextMarker::attach(TextBox *box)
{
    return new TextMarker(box);
}

TextMarker *TextMarker::of(const TextBox *box)
{
    return box->findChild<TextMarker *>(QString(), Qt::FindDirectChildrenOnly);
}

void TextMarker::setGuideWidth(int columns)
{
    if (columns == m_guide || columns <= 0)
        return;
    m_guide = columns;
    ++m_generation;
    markVisible();
    m_overlay->update();
    Q_EMIT guideWidthChanged(columns);
}

int TextMarker::guideX() const
{
    const qreal column = QFontMetricsF(m_box->font()).horizontalAdvance(QChar(0x3000)) / 2;
    return qRound(m_box->document()->documentMargin() + m_guide * column)
        - m_box->horizontalScrollBar()->value();
}

void TextMarker::markBlocks(int from, int length)
{
    if (m_marking)
        return;
    QTextDocument *document = m_box->document();
    QTextBlock block = document->findBlock(from);
    // A change at the end reaches past the last position, where there is no block.
    const QTextBlock last
        = document->findBlock(std::min(from + length, document->characterCount() - 1));
    if (last.blockNumber() - block.blockNumber() > 16) {
        // The layout has not taken the change in yet: what is on the screen is marked when the
        // box asks for it to be painted.
        ++m_generation;
        return;
    }
    m_marking = true;
    for (; block.isValid(); block = block.next()) {
        markBlock(block);
        if (block == last)
            break;
    }
    m_marking = false;
}

void TextMarker::markVisible()
{
    if (m_marking)
        return;
    m_marking = true;
    // Enough blocks to fill the box from its first visible line (a block takes one line or
    // more): asking the layout where each block is would cost more than marking a few extra.
    int lines = m_box->viewport()->height() / QFontMetrics(m_box->font()).lineSpacing() + 2;
    for (QTextBlock block = m_box->cursorForPosition(QPoint(0, 0)).block();
         block.isValid() && lines-- > 0; block = block.next()) {
        if (block.userState() < 0 || block.userState() / 2 != m_generation)
            markBlock(block);
    }
    m_marking = false;
}

void TextMarker::markBlock(const QTextBlock &block)
{
    // The block's state: twice the generation it was marked in, plus one if it has marks.
    const bool wasMarked = block.userState() >= 0 && (block.userState() & 1);
    const QList<TextMarks::Mark> marks = TextMarks::markLine(block.text(), m_guide);
    QTextBlock(block).setUserState(2 * m_generation + (marks.isEmpty() ? 0 : 1));
    if (marks.isEmpty() && !wasMarked)
        return;
    // Where marks overlap the later one's style is laid over the earlier one's: a character
    // past the guide keeps the guide's tint under its own.
    QList<QTextLayout::FormatRange> ranges;
    ranges.reserve(marks.size());
    for (const TextMarks::Mark &mark : marks)
        ranges.append({ int(mark.start), int(mark.length), styleOf(mark.kind) });
    QTextLayout *layout = block.layout();
    if (layout->formats() == ranges)
        return;
    layout->setFormats(ranges);
    m_box->document()->markContentsDirty(block.position(), block.length());
}

int TextMarker::characterAt(QPoint pos) const
{
    const QTextCursor cursor = m_box->cursorForPosition(pos);
    const QRect r = m_box->cursorRect(cursor);
    if (pos.y() < r.top() || pos.y() > r.bottom())
        return -1;
    const int at = cursor.position() - (pos.x() < r.left() ? 1 : 0);
    const QTextBlock block = m_box->document()->findBlock(at);
    return at >= block.position() && at < block.position() + block.length() - 1 ? at : -1;
}

QMenu *TextMarker::createContextMenu(QPoint pos)
{
    QMenu *menu = m_box->createStandardContextMenu(pos);
    const bool editable = !m_box->isReadOnly();
    const int at = characterAt(pos);
    if (at >= 0 && editable) {
        const QTextBlock block = m_box->document()->findBlock(at);
        const QString line = block.text();
        if (const auto r = PlainForms::at(line, at - block.position())) {
            const QStringView original = QStringView(line).sliced(r->start, r->length);
            const Kind kind = TextMarks::invisible(codePointAt(line, r->start)) ? Kind::Invisible
                                                                                : Kind::Uncarried;
            menu->addSeparator();
            QAction *one = menu->addAction(
                r->plain.isEmpty()
                    ? u"「%1」を取り除く"_s.arg(shown(original))
                    : u"「%1」を「%2」に置き換える"_s.arg(shown(original), shown(r->plain)));
            one->setObjectName(u"replaceMark"_s);
            connect(one, &QAction::triggered, this,
                    [this, position = block.position() + int(r->start)] { replaceAt(position); });
            QAction *all = menu->addAction(u"すべて置き換える"_s);
            all->setObjectName(u"replaceAllMarks"_s);
            connect(all, &QAction::triggered, this, [this, kind] { replaceAll(kind); });
        }
    }
    menu->addSeparator();
    QMenu *guides = menu->addMenu(u"折り返しの幅(&G)"_s);
    guides->setObjectName(u"guideWidths"_s);
    auto group = new QActionGroup(guides);
    for (int columns : GuideChoices) {
        QAction *choice
            = guides->addAction(u"%1 桁（全角 %2 文字）"_s.arg(columns).arg(columns / 2));
        choice->setObjectName(u"guide%1"_s.arg(columns));
        choice->setCheckable(true);
        choice->setChecked(columns == m_guide);
        group->addAction(choice);
        connect(choice, &QAction::triggered, this, [this, columns] { setGuideWidth(columns); });
    }
    QAction *wrap = menu->addAction(u"選択範囲を折り返す(&W)"_s);
    wrap->setObjectName(u"wrapSelection"_s);
    wrap->setEnabled(editable);
    connect(wrap, &QAction::triggered, this, &TextMarker::wrapSelection);
    return menu;
}

QString TextMarker::toolTipAt(int position) const
{
    const QTextBlock block = m_box->document()->findBlock(position);
    const QString line = block.text();
    const qsizetype offset = position - block.position();
    QStringList parts;
    for (const TextMarks::Mark &mark : TextMarks::markLine(line, m_guide)) {
        if (offset < mark.start || offset >= mark.start + mark.length)
            continue;
        switch (mark.kind) {
        case Kind::Uncarried:
        case Kind::Invisible: {
            const char32_t c = codePointAt(line, mark.start);
            QString part = codePointLabel(c) + u' ' + characterName(c) + u'\n' + whyMarked(c);
            if (const auto r = PlainForms::at(line, mark.start))
                part += r->plain.isEmpty() ? u"\n置き換え: 取り除く"_s
                    : r->plain == u" "_s   ? u"\n置き換え: 半角スペース"_s
                                           : u"\n置き換え: 「%1」"_s.arg(r->plain);
            parts << part;
            break;
        }
        case Kind::TrailingSpace:
            parts << u"行末の空白です。読者には見えず、送っても意味がありません。"_s;
            break;
        case Kind::PastGuide:
            parts << u"幅 %1 桁を超えた部分です。読者のメールソフトによっては思わぬ位置で"
                     u"折り返されます。「選択範囲を折り返す」で折り返せます。"_s.arg(m_guide);
            break;
        }
    }
    return parts.join(u"\n\n"_s);
}

bool TextMarker::replaceAt(int position)
{
    const QTextBlock block = m_box->document()->findBlock(position);
    const auto r = PlainForms::at(block.text(), position - block.position());
    if (!r)
        return false;
    QTextCursor cursor(m_box->document());
    cursor.beginEditBlock();
    cursor.setPosition(block.position() + int(r->start));
    cursor.setPosition(block.position() + int(r->start + r->length), QTextCursor::KeepAnchor);
    cursor.insertText(r->plain);
    cursor.endEditBlock();
    return true;
}

int TextMarker::replaceAll(Kind kind)
{
    QTextCursor cursor(m_box->document());
    int replaced = 0;
    for (QTextBlock block = m_box->document()->firstBlock(); block.isValid();
         block = block.next()) {
        const QString line = block.text();
        QList<PlainForms::Replacement> found;
        for (const TextMarks::Mark &mark : TextMarks::markLine(line, m_guide)) {
            const auto r = mark.kind == kind ? PlainForms::at(line, mark.start) : std::nullopt;
            if (r && (found.isEmpty() || r->start >= found.last().start + found.last().length))
                found << *r;
        }
        for (auto r = found.crbegin(); r != found.crend(); ++r) {
            if (replaced++ == 0)
                cursor.beginEditBlock();
            cursor.setPosition(block.position() + int(r->start));
            cursor.setPosition(block.position() + int(r->start + r->length),
                               QTextCursor::KeepAnchor);
            cursor.insertText(r->plain);
        }
    }
    if (replaced > 0)
        cursor.endEditBlock();
    return replaced;
}

void TextMarker::wrapSelection()
{
    const QTextCursor selection = m_box->textCursor();
    QTextDocument *document = m_box->document();
    const QTextBlock first = document->findBlock(selection.selectionStart());
    QTextCursor cursor(document);
    bool editing = false;
    // A selection of whole lines ends at the start of the next one, which is not selected.
    int end = selection.selectionEnd();
    if (end > selection.selectionStart() && document->findBlock(end).position() == end)
        --end;
    for (QTextBlock block = document->findBlock(end);
         block.isValid() && block.blockNumber() >= first.blockNumber(); block = block.previous()) {
        const QList<qsizetype> breaks = LineWrap::breaks(block.text(), m_guide);
        for (auto at = breaks.crbegin(); at != breaks.crend(); ++at) {
            if (!editing)
                cursor.beginEditBlock();
            editing = true;
            cursor.setPosition(block.position() + int(*at));
            cursor.insertBlock();
        }
    }
    if (editing)
        cursor.endEditBlock();
}

void TextMarker::showPlace(const TextMarks::Place &place)
{
    const QTextBlock block = m_box->document()->findBlockByNumber(place.line - 1);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.setPosition(block.position()
                       + int(std::min<qsizetype>(place.offset, block.length() - 1)));
    m_box->setTextCursor(cursor);
    m_box->ensureCursorVisible();
    m_box->setFocus(Qt::OtherFocusReason);
}

bool TextMarker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_box && event->type() == QEvent::FontChange)
        m_overlay->update();
    if (watched == m_box->viewport()) {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show) {
            m_overlay->setGeometry(m_box->viewport()->geometry());
            // More lines may come into view once the box has taken its new size in.
            QMetaObject::invokeMethod(this, &TextMarker::markVisible, Qt::QueuedConnection);
        }
        if (event->type() == QEvent::ToolTip) {
            auto help = static_cast<QHelpEvent *>(event);
            const int at = characterAt(help->pos());
            const QString tip = at >= 0 ? toolTipAt(at) : QString();
            if (!tip.isEmpty()) {
                QToolTip::showText(help->globalPos(), tip, m_box->viewport());
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
