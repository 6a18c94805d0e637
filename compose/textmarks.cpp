#include "textmarks.h"

#include "catalogues.h"
#include "chartables.h"

#include <algorithm>
#include <bitset>

using namespace Qt::StringLiterals;

namespace TextMarks {

namespace {

bool inRanges(std::span<const CodeRange> ranges, char32_t c)
{
    auto it = std::upper_bound(ranges.begin(), ranges.end(), c,
                               [](char32_t v, const CodeRange &r) { return v < r.first; });
    return it != ranges.begin() && c <= std::prev(it)->last;
}

// The character starting at i and how many UTF-16 units it takes; a lone surrogate is itself.
std::pair<char32_t, qsizetype> at(QStringView s, qsizetype i)
{
    const QChar c = s[i];
    if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
        return { QChar::surrogateToUcs4(c, s[i + 1]), 2 };
    return { c.unicode(), 1 };
}

// The tables unpacked for the Basic Multilingual Plane once, two bits a code point: marking
// looks up every character of every line the author types or loads.
struct PlaneBits
{
    std::bitset<0x10000> carried;
    std::bitset<0x10000> wide;
};

const PlaneBits &plane()
{
    static const PlaneBits *bits = [] {
        auto b = new PlaneBits;
        for (const CodeRange &r : CharTables::iso2022JpOutsideIdeographs()) {
            for (char32_t c = r.first; c <= r.last && c < 0x10000; ++c)
                b->carried.set(c);
        }
        const auto words = CharTables::iso2022JpIdeographs();
        for (size_t n = 0; n < words.size() * 64 && 0x4E00 + n < 0x10000; ++n)
            b->carried.set(0x4E00 + n, (words[n / 64] >> (n % 64)) & 1);
        for (const CodeRange &r : CharTables::wide()) {
            for (char32_t c = r.first; c <= r.last && c < 0x10000; ++c)
                b->wide.set(c);
        }
        return b;
    }();
    return *bits;
}

bool isSpace(char32_t c)
{
    return QChar::isSpace(c);
}

// Most lines hold nothing to mark, which one pass over them tells: every character carried
// and not a tab (what is invisible is not carried either), within the guide, no white space at
// the end.
bool plain(QStringView line, int guide)
{
    const PlaneBits &bits = plane();
    int column = 0;
    for (QChar ch : line) {
        const char16_t c = ch.unicode();
        if (c < 0x80) {
            if (c == u'\t')
                return false;
            ++column;
        } else if (QChar::isSurrogate(c) || !bits.carried.test(c)) {
            return false;
        } else {
            column += bits.wide.test(c) ? 2 : 1;
        }
    }
    return column <= guide && (line.isEmpty() || !isSpace(line.back().unicode()));
}

} // namespace

bool carried(char32_t c)
{
    return c < 0x10000 ? plane().carried.test(c)
                       : inRanges(CharTables::iso2022JpOutsideIdeographs(), c);
}

bool invisible(char32_t c)
{
    return c == u'\t' || c == 0x00A0 || (c >= 0x200B && c <= 0x200F) || c == 0x2028 || c == 0x2029
        || (c >= 0x202A && c <= 0x202E) || c == 0x2060 || c == 0xFEFF;
}

int columns(char32_t c)
{
    return (c < 0x10000 ? plane().wide.test(c) : inRanges(CharTables::wide(), c)) ? 2 : 1;
}

int columns(QStringView text)
{
    int n = 0;
    for (qsizetype i = 0; i < text.size();) {
        const auto [c, units] = at(text, i);
        n += columns(c);
        i += units;
    }
    return n;
}

qsizetype trailingSpace(QStringView line)
{
    qsizetype i = line.size();
    while (i > 0 && isSpace(line[i - 1].unicode()))
        --i;
    return line.size() - i;
}

qsizetype pastGuide(QStringView line, int guide)
{
    const qsizetype end = line.size() - trailingSpace(line);
    int column = 0;
    for (qsizetype i = 0; i < end;) {
        const auto [c, units] = at(line, i);
        column += columns(c);
        if (column > guide)
            return i;
        i += units;
    }
    return -1;
}

QList<Mark> markLine(QStringView line, int guide)
{
    QList<Mark> marks;
    if (plain(line, guide) || Catalogues::isOwnText(line))
        return marks;
    const qsizetype past = pastGuide(line, guide);
    const qsizetype trailing = trailingSpace(line);
    const qsizetype trailingStart = line.size() - trailing;
    if (past >= 0)
        marks.append({ Kind::PastGuide, past, trailingStart - past });
    for (qsizetype i = 0; i < line.size();) {
        const auto [c, units] = at(line, i);
        if (i == trailingStart)
            marks.append({ Kind::TrailingSpace, i, trailing });
        if (invisible(c))
            marks.append({ Kind::Invisible, i, units });
        else if (!carried(c))
            marks.append({ Kind::Uncarried, i, units });
        i += units;
    }
    std::stable_sort(marks.begin(), marks.end(),
                     [](const Mark &a, const Mark &b) { return a.start < b.start; });
    return marks;
}

bool Summary::asks() const
{
    return count[int(Kind::Uncarried)] + count[int(Kind::Invisible)] + count[int(Kind::PastGuide)]
        > 0;
}

Place Summary::firstAsked() const
{
    Place best;
    for (Kind kind : { Kind::Uncarried, Kind::Invisible, Kind::PastGuide }) {
        const Place &p = first[int(kind)];
        if (count[int(kind)] > 0
            && (best.line == 0 || p.line < best.line
                || (p.line == best.line && p.column < best.column)))
            best = p;
    }
    return best;
}

Summary summarize(QStringView document, int guide, const QSet<QString> &decided)
{
    Summary summary;
    int lineNumber = 0;
    for (QStringView line : document.tokenize(u"\r\n")) {
        ++lineNumber;
        const QList<Mark> marks = markLine(line, guide);
        if (marks.isEmpty() || decided.contains(line.toString()))
            continue;
        for (const Mark &mark : marks) {
            const int k = int(mark.kind);
            if (summary.count[k]++ == 0)
                summary.first[k] = { lineNumber, columns(line.first(mark.start)) + 1, mark.start };
        }
    }
    return summary;
}

QString question(const Summary &summary, int guide)
{
    const auto where = [&](Kind kind) {
        const Place &p = summary.first[int(kind)];
        return u"（最初は 行 %1, 桁 %2）"_s.arg(p.line).arg(p.column);
    };
    QString text = u"この文書には、読者に書いたとおりには届かないおそれのある箇所があります。\n"_s;
    if (int n = summary.count[int(Kind::Uncarried)])
        text
            += u"\n・ISO-2022-JP で送れない文字（機種依存文字、半角カナ、絵文字など）: %1 個"_s.arg(
                   n)
            + where(Kind::Uncarried);
    if (int n = summary.count[int(Kind::Invisible)])
        text
            += u"\n・見えない文字（ノーブレークスペース、ゼロ幅スペース、方向制御文字、タブなど）: "
               u"%1 個"_s.arg(n)
            + where(Kind::Invisible);
    if (int n = summary.count[int(Kind::PastGuide)])
        text += u"\n・幅 %1 桁を超える行: %2 行"_s.arg(guide).arg(n) + where(Kind::PastGuide);
    text += u"\n\nこのまま送信しますか。「戻って直す」で最初の箇所に戻ります。"_s;
    return text;
}

} // namespace TextMarks
