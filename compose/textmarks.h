// What readers may not see as the author wrote it: characters ISO-2022-JP cannot carry,
// invisible and direction characters, white space at the end of a line and the part of a line
// past the width guide. Lines are counted in columns: East Asian Width W, F and A count two,
// everything else one.
#pragma once

#include <QList>
#include <QSet>
#include <QString>

#include <array>

namespace TextMarks {

enum class Kind {
    Uncarried, // not in ASCII or JIS X 0208: turned into "?" or refused on the way
    Invisible, // no-break space, zero-width, format and direction characters, tabs
    TrailingSpace, // white space at the end of a line
    PastGuide, // the part of a line past the width guide
};
constexpr int KindCount = 4;

/// The width guide when the author has not chosen one: 35 fullwidth characters.
constexpr int DefaultGuide = 70;

/// A marked stretch of one line, in UTF-16 units from the line's start.
struct Mark
{
    Kind kind;
    qsizetype start;
    qsizetype length;
    bool operator==(const Mark &) const = default;
};

/// Whether ISO-2022-JP (ASCII and JIS X 0208) can carry the character.
bool carried(char32_t c);
/// The no-break space, the zero-width, joiner and direction marks, the line and paragraph
/// separators, the embedding and override characters, the word joiner, the byte order mark and
/// the tab.
bool invisible(char32_t c);
/// The columns the character takes: two for East Asian Width W, F and A, else one.
int columns(char32_t c);
/// The columns of a stretch of text.
int columns(QStringView text);
/// How much of the line is white space at its end, in UTF-16 units.
qsizetype trailingSpace(QStringView line);
/// Where the part past the guide starts (UTF-16 units), not counting white space at the line's
/// end; -1 when the line fits.
qsizetype pastGuide(QStringView line, int guide);

/// The marks of one line (no line break in it), ordered by start; an uncarried or invisible
/// character is one mark of its own (a surrogate pair is one character).
QList<Mark> markLine(QStringView line, int guide);

/// Where something is, counted from one: the line, and the column the character starts at.
struct Place
{
    int line = 0;
    int column = 0;
    qsizetype offset = 0; // UTF-16 units from the line's start
    bool operator==(const Place &) const = default;
};

/// How many of each kind a document holds (characters; lines for PastGuide and TrailingSpace)
/// and where the first one is.
struct Summary
{
    std::array<int, KindCount> count {};
    std::array<Place, KindCount> first {};
    /// Whether the author should be asked before sending: any uncarried or invisible character
    /// or a line past the guide. White space at a line's end alone is not asked about.
    bool asks() const;
    /// The first place of the kinds asked about.
    Place firstAsked() const;
};

/// Counts the marks of a document whose lines end in CR LF; lines the author already decided on
/// (decided: the marked lines of the issues sent before) are not counted.
Summary summarize(QStringView document, int guide, const QSet<QString> &decided = {});

/// The question asked before sending: each kind with its count and first place.
QString question(const Summary &summary, int guide);

} // namespace TextMarks
