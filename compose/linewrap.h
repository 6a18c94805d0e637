// Wrapping long lines at the width guide by the Japanese line-break rules: no line starts with
// a closing bracket, 、。 and the like or a small kana, none ends with an opening bracket; URLs
// and ASCII words stay whole unless longer than the guide. Wrapping only inserts line breaks, so
// removing them gives back the original, and wrapping twice changes nothing.
#pragma once

#include <QList>
#include <QString>

namespace LineWrap {

/// Whether the line is one of the document's decorations (rules of hyphens, rows of ■□※,
/// framed headings): at least half of its characters other than white space are neither
/// letters nor digits. Decorations are never wrapped.
bool isDecoration(QStringView line);

/// Where breaks go in the line (no line break in it), as UTF-16 offsets, ascending; none when
/// the line fits the guide (white space at its end not counted) or is a decoration.
QList<qsizetype> breaks(QStringView line, int guide);

} // namespace LineWrap
