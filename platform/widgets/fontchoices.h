// A FontChoice as the toolkit draws it: the one place where the font dialog's, the window's and
// the kept session's value becomes a QFont and a text colour, and back.
#pragma once

#include "fontchoice.h"

#include <QColor>
#include <QFont>

class QWidget;

namespace FontChoices {

/// A colour value as the windows exchange it, 0x00BBGGRR (red in the low byte), as a QColor.
QColor colour(quint32 bgr);
/// A QColor as 0x00BBGGRR; the alpha channel is dropped.
quint32 bgr(const QColor &colour);

/// base with the choice's faces, size and styles.
QFont toFont(const FontChoice &choice, QFont base = QFont());
/// The choice that describes font drawn in colour.
FontChoice fromFont(const QFont &font, const QColor &colour);

/// Gives a text box the choice's font and text colour.
void apply(QWidget *box, const FontChoice &choice);
/// The font and the text colour a text box shows.
FontChoice of(const QWidget *box);

} // namespace FontChoices
