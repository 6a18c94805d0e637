// Wrapping long lines at the width guide by the Japanese line-break rules: no line starts with
// a closing bracket, 、。 and the like or a small kana, none ends with an opening bracket. URLs,
// mail addresses and other ASCII words are never split: one longer than the guide gets a line of
// its own, so that every reader's link still works. A break takes the place of the white space
// before it, so no wrapped line ends in a space; wrapping twice changes nothing.
#pragma once

#include <QList>
#include <QString>

namespace LineWrap {

/// Whether the line is one of the document's decorations (rules of hyphens, rows of ■□※,
/// framed headings): at least half of its characters other than white space are neither
/// letters nor digits. Decorations are never wrapped.
bool isDecoration(QStringView line);

/// Where breaks go in the line (no line break in it), as UTF-16 offsets, ascending, each the
/// start of a new line; the white space just before each is dropped by the break. None when the
/// line fits the guide (white space at its end not counted) or is a decoration.
QList<qsizetype> breaks(QStringView line, int guide);

} // namespace LineWrap
