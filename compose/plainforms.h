// Plain forms of marked characters that readers see as written: (1) for ①, III for Ⅲ, (株) for
// ㈱, fullwidth katakana for halfwidth (voiced marks joined), ― for —, 〜 for ～, a space for a
// no-break space and nothing for the zero-width and direction characters.
#pragma once

#include <QString>

#include <optional>

namespace PlainForms {

/// A stretch of a line and what replaces it.
struct Replacement
{
    qsizetype start; // UTF-16 units from the line's start
    qsizetype length;
    QString plain; // empty: the stretch is removed
    /// Nothing takes its place but nothing: the author may remove it, one at a time.
    bool removalOnly = false;
    bool operator==(const Replacement &) const = default;
};

/// The replacement of the marked character at offset of line (a halfwidth kana and its voiced
/// mark go together, whichever of the two offset points at); none when the character is not
/// marked. A character with no plain form that ISO-2022-JP carries (an emoji, 髙) can only be
/// removed.
std::optional<Replacement> at(QStringView line, qsizetype offset);

} // namespace PlainForms
