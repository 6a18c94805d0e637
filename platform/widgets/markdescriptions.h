// What the marks of a text box say to the author: the tooltip naming a marked character (its
// code point, its Unicode name from ICU, why readers may not see it and its plain form), and how
// a marked stretch reads in a menu.
#pragma once

#include <QString>

namespace MarkDescriptions {

/// The character starting at i; a lone surrogate is itself.
char32_t codePointAt(QStringView s, qsizetype i);
/// How a stretch reads in a menu: itself, or its code points where it cannot be seen; an
/// ampersand is doubled so that it is not taken for a shortcut.
QString shown(QStringView s);
/// The tooltip of the character at offset of line (no line break in it) with the guide at
/// guide columns: one paragraph for each mark over it. Empty where nothing is marked.
QString toolTip(QStringView line, qsizetype offset, int guide);

} // namespace MarkDescriptions
