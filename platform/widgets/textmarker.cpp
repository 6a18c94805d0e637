#include "textmarker.h"

#include "markdescriptions.h"
#include "markoverlay.h"
#include "textbox.h"
#include "textmarkermenu.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolTip>

#include <utility>

using namespace Qt::StringLiterals;
using TextMarks::Kind;

namespace {

// Each kind in its own style: characters get a tinted background (uncarried ones a red wavy
// underline as well), white space at a line's end and the part past the guide a paler tint. Pale
// tints on a light box, readable under a chosen text colour; on a dark one (the body's yellow on
// black) deep tints of the same hues, which yellow and white text stand out from as they do from
// black.
QTextCharFormat styleOf(Kind kind, bool dark)
{
    struct Tint
    {
        QRgb light, dark;
    };
    static constexpr Tint Tints[TextMarks::KindCount] = {
        { 0xffd6d6, 0x6e0000 }, // Uncarried
        { 0xffc460, 0x824600 }, // Invisible
        { 0xc8dcf5, 0x003c82 }, // TrailingSpace
        { 0xfff3b0, 0x37376e }, // PastGuide
    };
    QTextCharFormat f;
    const Tint &tint = Tints[int(kind)];
    f.setBackground(QColor::fromRgb(dark ? tint.dark : tint.light));
    if (kind == Kind::Uncarried) {
        f.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        f.setUnderlineColor(dark ? QColor(255, 96, 96) : QColor(208, 0, 0));
    }
    return f;
}

// The marks of a block as extra selections. While the input method composes in the block, its
// text is drawn at the composing place, which the document's positions do not count: the marks
// after that place would land on the characters being composed or beside their own, so they wait
// for the commit; those before it stay.
void appendMarks(QList<QTextEdit::ExtraSelection> &selections, const QTextBlock &block, int guide,
                 bool dark)
{
    const QString text = block.text();
    const QList<TextMarks::Mark> marks = TextMarks::markLine(text, guide);
    if (marks.isEmpty())
        return;
    const QTextLayout *layout = block.layout();
    const qsizetype composing
        = layout->preeditAreaText().isEmpty() ? text.size() : layout->preeditAreaPosition();
    // Where marks overlap the later one is drawn over the earlier one: a character past the
    // guide shows its own tint over the guide's.
    for (const TextMarks::Mark &mark : marks) {
        const qsizetype end = std::min(mark.start + mark.length, composing);
        if (end <= mark.start)
            continue;
        QTextEdit::ExtraSelection s { QTextCursor(block), styleOf(mark.kind, dark) };
        s.cursor.setPosition(block.position() + int(mark.start));
        s.cursor.setPosition(block.position() + int(end), QTextCursor::KeepAnchor);
        selections.append(s);
    }
}

} // namespace

TextMarker::TextMarker(TextBox *box)
    : QObject(box)
    , m_box(box)
{
    setObjectName(u"marks"_s);
    // The lines on the screen are marked again after every change of the text (the input
    // method's composition is one) and whenever other lines come into view: a few lines, which
    // costs less than keeping track of the marks of a whole document.
    connect(box->document(), &QTextDocument::contentsChange, this, &TextMarker::markSoon);
    connect(box, &QPlainTextEdit::updateRequest, this, [this](const QRect &, int dy) {
        if (dy != 0 || m_box->firstVisibleBlock().blockNumber() != m_firstMarked)
            markSoon();
    });
    connect(box->document()->documentLayout(), &QAbstractTextDocumentLayout::updateBlock, this,
            &TextMarker::updateGuide);
    connect(box, &QPlainTextEdit::cursorPositionChanged, this, &TextMarker::describeCursor);
    m_overlay = new MarkOverlay(box, this);
    m_overlay->describeGuide(m_guide);
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
    markVisible();
    m_overlay->describeGuide(columns);
    m_overlay->update();
    describeCursor();
    Q_EMIT guideWidthChanged(columns);
}

qreal TextMarker::guideX(const QTextBlock &block) const
{
    const qreal column = QFontMetricsF(m_box->font()).horizontalAdvance(QChar(0x3000)) / 2;
    const QTextLayout *layout = block.isValid() ? block.layout() : nullptr;
    if (!layout || layout->lineCount() == 0)
        return m_box->contentOffset().x() + m_box->document()->documentMargin() + m_guide * column;
    // The line as the author sees it, with what the input method is composing.
    QString shown = block.text();
    if (!layout->preeditAreaText().isEmpty())
        shown.insert(layout->preeditAreaPosition(), layout->preeditAreaText());
    const QTextLine line = layout->lineAt(0);
    int used = 0;
    for (qsizetype i = 0; i < shown.size();) {
        const char32_t c = MarkDescriptions::codePointAt(shown, i);
        if (used + TextMarks::columns(c) > m_guide)
            return m_box->contentOffset().x() + line.cursorToX(int(i));
        used += TextMarks::columns(c);
        i += QChar::requiresSurrogates(c) ? 2 : 1;
    }
    return m_box->contentOffset().x() + line.cursorToX(int(shown.size()))
        + (m_guide - used) * column;
}

void TextMarker::markVisible()
{
    const bool dark = m_box->palette().color(QPalette::Base).lightness() < 128;
    const QPointF offset = m_box->contentOffset();
    const int bottom = m_box->viewport()->height();
    QList<QTextEdit::ExtraSelection> selections;
    m_firstMarked = m_box->firstVisibleBlock().blockNumber();
    for (QTextBlock block = m_box->firstVisibleBlock(); block.isValid(); block = block.next()) {
        if (m_box->blockBoundingGeometry(block).translated(offset).top() > bottom)
            break;
        appendMarks(selections, block, m_guide, dark);
    }
    // Repaints only the marks that changed.
    m_box->setExtraSelections(selections);
}

// The document tells of a change in the middle of some of its edits (clear() is one), where a
// text cursor made or dropped corrupts its list of cursors: the marks, which are cursors, follow
// once the edit is over, before the box paints it (a repaint waits behind other posted events).
void TextMarker::markSoon()
{
    if (std::exchange(m_markingSoon, true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_markingSoon = false;
            markVisible();
        },
        Qt::QueuedConnection);
}

void TextMarker::updateGuide(const QTextBlock &block)
{
    // The box repaints a changed line only as far as the text reaches; the guide may stand
    // further right.
    const QRectF line = m_box->blockBoundingGeometry(block).translated(m_box->contentOffset());
    m_overlay->update(QRect(0, int(line.top()), m_overlay->width(), int(line.height()) + 2));
}

void TextMarker::describeCursor()
{
    const QString tip = toolTipAt(m_box->textCursor().position());
    const QString own = m_box->toolTip();
    const QString description = tip.isEmpty() ? own : own.isEmpty() ? tip : own + u"\n\n"_s + tip;
    if (m_box->accessibleDescription() != description)
        m_box->setAccessibleDescription(description);
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
    TextMarkerMenu::addEntries(menu, this, m_box, characterAt(pos));
    return menu;
}

QString TextMarker::toolTipAt(int position) const
{
    const QTextBlock block = m_box->document()->findBlock(position);
    return MarkDescriptions::toolTip(block.text(), position - block.position(), m_guide);
}

bool TextMarker::replaceAt(int position)
{
    return TextMarkerMenu::replaceAt(m_box->document(), position);
}

int TextMarker::replaceAll(Kind kind)
{
    return TextMarkerMenu::replaceAll(m_box->document(), kind, m_guide);
}

void TextMarker::wrapSelection()
{
    TextMarkerMenu::wrapLines(m_box->document(), m_box->textCursor(), m_guide);
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
    // A new font shows other lines; a box may turn dark after it is marked: a dark scheme, or
    // the design's black base.
    if (watched == m_box
        && (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)) {
        markVisible();
        m_overlay->update();
    }
    if (watched == m_box->viewport()) {
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show) {
            m_overlay->setGeometry(m_box->viewport()->geometry());
            // More lines may come into view once the box has taken its new size in.
            markSoon();
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
