#include "linewrap.h"

#include "textmarks.h"

#include <algorithm>

namespace LineWrap {

namespace {

// Characters no line may start with, and those no line may end with.
constexpr QStringView NoStart = u"、。，．・：；？！ー）」』】〕〉》］｝〙〗〟’”‥…ゝゞヽヾ々゛゜"
                                u"ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶ"
                                u"｡｣､･ｰｧｨｩｪｫｬｭｮｯ)]},.!?:;";
constexpr QStringView NoEnd = u"（「『【〔〈《［｛〘〖〝‘“([{";

bool isAsciiGraphic(QChar c)
{
    return c.unicode() > 0x20 && c.unicode() < 0x7F;
}

// Goes with the character before it: combining and variation marks, joiners.
bool clings(QStringView s, qsizetype i)
{
    const QChar c = s[i];
    return c.isLowSurrogate() || c.isMark() || c.unicode() == 0x200D || c.unicode() == 0xFE0E
        || c.unicode() == 0xFE0F || (i > 0 && s[i - 1].unicode() == 0x200D);
}

// Pieces of a line that are never split: an ASCII word (a URL is one: it holds no white space),
// a run of white space, or one character with the marks that cling to it.
struct Unit
{
    qsizetype start;
    qsizetype end;
    bool space;
};

QList<Unit> units(QStringView line)
{
    QList<Unit> out;
    const auto isSpaceAt = [&](qsizetype i) { return line[i].isSpace(); };
    for (qsizetype i = 0; i < line.size();) {
        qsizetype j = i + 1;
        if (isAsciiGraphic(line[i])) {
            while (j < line.size() && isAsciiGraphic(line[j]))
                ++j;
        } else if (isSpaceAt(i)) {
            while (j < line.size() && isSpaceAt(j))
                ++j;
        } else {
            while (j < line.size() && clings(line, j))
                ++j;
        }
        out.append({ i, j, isSpaceAt(i) });
        i = j;
    }
    return out;
}

// Whether a break may go between two neighbouring units.
bool mayBreak(QStringView line, const Unit &before, const Unit &after)
{
    if (after.space)
        return false; // white space stays at the end of the line it follows
    if (NoStart.contains(line[after.start]))
        return false;
    return !NoEnd.contains(line[before.end - 1]);
}

} // namespace

bool isDecoration(QStringView line)
{
    int letters = 0, others = 0;
    for (QChar c : line) {
        if (c.isLetterOrNumber() || c.isSurrogate())
            ++letters;
        else if (!c.isSpace())
            ++others;
    }
    return others > 0 && others >= letters;
}

QList<qsizetype> breaks(QStringView line, int guide)
{
    QList<qsizetype> result;
    if (TextMarks::pastGuide(line, guide) < 0 || isDecoration(line))
        return result;

    // Units that may not be parted form a group; groups are laid out greedily.
    const QList<Unit> pieces = units(line);
    int lineColumns = 0; // the current line so far, white space at its end included
    bool lineEmpty = true;
    for (qsizetype first = 0; first < pieces.size();) {
        qsizetype last = first;
        while (last + 1 < pieces.size() && !mayBreak(line, pieces[last], pieces[last + 1]))
            ++last;
        const qsizetype start = pieces[first].start;
        const qsizetype end = pieces[last].end;
        qsizetype inkEnd = end;
        for (qsizetype k = last; k >= first && pieces[k].space; --k)
            inkEnd = pieces[k].start;
        const int ink = TextMarks::columns(line.sliced(start, inkEnd - start));
        const int all = ink + TextMarks::columns(line.sliced(inkEnd, end - inkEnd));

        if (!lineEmpty && lineColumns + ink > guide) {
            result.append(start);
            lineColumns = 0;
        }
        if (lineColumns + ink <= guide) {
            lineColumns += all;
        } else if (std::any_of(line.begin() + start, line.begin() + inkEnd, isAsciiGraphic)) {
            // A link or an address cut in two no longer works: whole, on a line of its own.
            lineColumns = guide + 1;
        } else {
            // Longer than the guide on a line of its own: cut it where the guide falls.
            int column = lineColumns;
            for (qsizetype i = start; i < inkEnd;) {
                const qsizetype units = line[i].isHighSurrogate() && i + 1 < inkEnd ? 2 : 1;
                const int width = TextMarks::columns(line.sliced(i, units));
                if (column + width > guide && column > 0) {
                    result.append(i);
                    column = 0;
                }
                column += width;
                i += units;
            }
            lineColumns = column + (all - ink);
        }
        lineEmpty = false;
        first = last + 1;
    }
    return result;
}

} // namespace LineWrap
