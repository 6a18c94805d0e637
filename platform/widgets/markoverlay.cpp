#include "markoverlay.h"

#include "textbox.h"
#include "textmarker.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTextBlock>

#include <cmath>

using namespace Qt::StringLiterals;

MarkOverlay::MarkOverlay(TextBox *box, const TextMarker *marker)
    : QWidget(box)
    , m_box(box)
    , m_marker(marker)
{
    setObjectName(u"guide"_s);
    setAccessibleName(u"文字数の目安"_s);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(box->viewport()->geometry());
}

void MarkOverlay::describeGuide(int columns)
{
    setAccessibleDescription(u"%1 桁（全角 %2 文字）"_s.arg(columns).arg(columns / 2));
}

// Paints only what the box repaints: typing repaints one line. Below the last line the guide
// stands where it stands beside an empty line.
void MarkOverlay::paintEvent(QPaintEvent *event)
{
    const QRect area = event->rect();
    QPainter painter(this);
    const QPointF offset = m_box->contentOffset();
    qreal below = offset.y();
    for (QTextBlock block = m_box->firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF line = m_box->blockBoundingGeometry(block).translated(offset);
        if (line.top() > area.bottom())
            break;
        below = line.bottom();
        if (line.bottom() < area.top())
            continue;
        drawGuide(painter, m_marker->guideX(block), line.top(), line.height());
        drawFlags(painter, block);
    }
    if (below <= area.bottom())
        drawGuide(painter, m_marker->guideX(QTextBlock()), below, area.bottom() + 1 - below);
}

// One pixel wide over the tint's first column: the box starts a tint at the whole pixel left of
// where the character starts, at any pixel density. Nothing where the author cannot see it, past
// either side or on the last column, beside the frame.
void MarkOverlay::drawGuide(QPainter &painter, qreal x, qreal top, qreal height) const
{
    x = std::floor(x);
    if (x < 0 || x > width() - 2)
        return;
    painter.fillRect(QRectF(x, top, 1, height), QColor(110, 150, 210));
}

void MarkOverlay::drawFlags(QPainter &painter, const QTextBlock &block) const
{
    const QColor flag(230, 120, 0);
    const QString text = block.text();
    QTextCursor cursor(block);
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
