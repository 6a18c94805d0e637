#include "plainforms.h"

#include "textmarks.h"

using namespace Qt::StringLiterals;

namespace PlainForms {

namespace {

bool allCarried(QStringView s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c.isSurrogate() || !TextMarks::carried(c.unicode())
            || TextMarks::invisible(c.unicode()))
            return false;
    }
    return true;
}

// Encircled numbers without a compatibility decomposition: the dingbats and the double and
// negative circled digits.
struct NumberRun
{
    char32_t first;
    char32_t last;
    int from;
};
constexpr NumberRun CircledNumbers[] = {
    { 0x24EB, 0x24F4, 11 }, // ⓫ to ⓴
    { 0x24F5, 0x24FE, 1 }, // ⓵ to ⓾
    { 0x24FF, 0x24FF, 0 }, // ⓿
    { 0x2776, 0x277F, 1 }, // ❶ to ❿
    { 0x2780, 0x2789, 1 }, // ➀ to ➉
    { 0x278A, 0x2793, 1 }, // ➊ to ➓
};

// Characters whose plain form JIS X 0208 holds under another code point (the mappings that
// differ between Japanese code pages), and the halfwidth voiced marks standing alone.
constexpr std::pair<char32_t, char16_t> Counterparts[] = {
    { 0x2014, 0x2015 }, // — -> ―
    { 0xFF5E, 0x301C }, // ～ -> 〜
    { 0x2225, 0x2016 }, // ∥ -> ‖
    { 0xFF0D, 0x2212 }, // － -> −
    { 0xFFE0, 0x00A2 }, // ￠ -> ¢
    { 0xFFE1, 0x00A3 }, // ￡ -> £
    { 0xFFE2, 0x00AC }, // ￢ -> ¬
    { 0xFFE4, 0xFF5C }, // ￤ -> ｜
    { 0xFF9E, 0x309B }, // ﾞ -> ゛
    { 0xFF9F, 0x309C }, // ﾟ -> ゜
};

QString plainOf(char32_t c)
{
    if (c == 0x00A0 || c == u'\t' || c == 0x2028 || c == 0x2029)
        return u" "_s;
    if (TextMarks::invisible(c))
        return QString(); // zero-width, direction and format characters: nothing
    for (const auto &[from, to] : Counterparts) {
        if (c == from)
            return QString(QChar(to));
    }
    for (const NumberRun &run : CircledNumbers) {
        if (c >= run.first && c <= run.last)
            return u"(%1)"_s.arg(run.from + int(c - run.first));
    }
    const QString one = QString::fromUcs4(&c, 1);
    const QString compatible = one.normalized(QString::NormalizationForm_KC);
    if (compatible == one)
        return {};
    // ① ㊤ Ⓐ: the encircled character in brackets; ⑴ ⒈ Ⅲ ㈱ ㍿ ｶ: their compatibility forms.
    if (QChar::decompositionTag(c) == QChar::Circle)
        return u'(' + compatible + u')';
    return compatible;
}

bool isHalfwidthKana(QChar c)
{
    return c.unicode() >= 0xFF66 && c.unicode() <= 0xFF9D;
}

bool isHalfwidthVoicedMark(QChar c)
{
    return c.unicode() == 0xFF9E || c.unicode() == 0xFF9F;
}

} // namespace

std::optional<Replacement> at(QStringView line, qsizetype offset)
{
    if (offset < 0 || offset >= line.size())
        return std::nullopt;
    if (line[offset].isLowSurrogate() && offset > 0 && line[offset - 1].isHighSurrogate())
        --offset;
    // A halfwidth kana and the voiced mark after it become one fullwidth kana where JIS X 0208
    // has it (ｶﾞ -> ガ), else each its own (ﾜﾞ -> ワ゛).
    if (isHalfwidthVoicedMark(line[offset]) && offset > 0 && isHalfwidthKana(line[offset - 1]))
        --offset;
    if (isHalfwidthKana(line[offset]) && offset + 1 < line.size()
        && isHalfwidthVoicedMark(line[offset + 1])) {
        const QString joined
            = line.sliced(offset, 2).toString().normalized(QString::NormalizationForm_KC);
        if (joined.size() == 1 && allCarried(joined))
            return Replacement { offset, 2, joined };
        return Replacement {
            offset, 2, plainOf(line[offset].unicode()) + plainOf(line[offset + 1].unicode())
        };
    }
    char32_t c = line[offset].unicode();
    qsizetype length = 1;
    if (line[offset].isHighSurrogate() && offset + 1 < line.size()
        && line[offset + 1].isLowSurrogate()) {
        c = QChar::surrogateToUcs4(line[offset], line[offset + 1]);
        length = 2;
    }
    if (!TextMarks::invisible(c) && TextMarks::carried(c))
        return std::nullopt;
    const QString plain = plainOf(c);
    if (TextMarks::invisible(c) || (!plain.isEmpty() && allCarried(plain)))
        return Replacement { offset, length, plain };
    // An emoji or a character with no counterpart readers would see: it can only be removed.
    return Replacement { offset, length, QString(), true };
}

} // namespace PlainForms
