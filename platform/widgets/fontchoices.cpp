#include "fontchoices.h"

#include <QWidget>

namespace FontChoices {

QColor colour(quint32 bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

quint32 bgr(const QColor &colour)
{
    return quint32(colour.red()) | quint32(colour.green()) << 8 | quint32(colour.blue()) << 16;
}

QFont toFont(const FontChoice &choice, QFont base)
{
    base.setFamilies(choice.families);
    base.setPointSizeF(choice.size);
    base.setBold(choice.bold);
    base.setItalic(choice.italic);
    base.setStrikeOut(choice.strikeOut);
    base.setUnderline(choice.underline);
    return base;
}

FontChoice fromFont(const QFont &font, const QColor &colour)
{
    FontChoice choice;
    choice.families = font.families().isEmpty() ? QStringList { font.family() } : font.families();
    choice.size = font.pointSizeF();
    choice.bold = font.bold();
    choice.italic = font.italic();
    choice.strikeOut = font.strikeOut();
    choice.underline = font.underline();
    choice.colour = bgr(colour);
    return choice;
}

void apply(QWidget *box, const FontChoice &choice)
{
    box->setFont(toFont(choice, box->font()));
    QPalette palette = box->palette();
    palette.setColor(QPalette::Text, colour(choice.colour));
    box->setPalette(palette);
}

FontChoice of(const QWidget *box)
{
    return fromFont(box->font(), box->palette().color(QPalette::Text));
}

} // namespace FontChoices
