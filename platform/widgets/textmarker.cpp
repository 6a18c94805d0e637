#include "textmarker.h"

#include "markdescriptions.h"
#include "textbox.h"
#include "textmarkermenu.h"

#include <QEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolTip>

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
