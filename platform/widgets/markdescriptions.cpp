#include "markdescriptions.h"

#include "plainforms.h"
#include "textmarks.h"

#include <QStringList>

#include <unicode/uchar.h>

#include <algorithm>

using namespace Qt::StringLiterals;
using TextMarks::Kind;

namespace MarkDescriptions {

namespace {

// The name Unicode gives the character, or an alias where it has none.
QString characterName(char32_t c)
{
    if (c == u'\t')
        return u"CHARACTER TABULATION"_s; // ICU keeps only the corrections among the aliases
    char buffer[128];
    for (UCharNameChoice choice :
         { U_UNICODE_CHAR_NAME, U_CHAR_NAME_ALIAS, U_EXTENDED_CHAR_NAME }) {
        UErrorCode error = U_ZERO_ERROR;
        const int32_t n = u_charName(UChar32(c), choice, buffer, sizeof buffer, &error);
        if (U_SUCCESS(error) && n > 0)
            return QString::fromLatin1(buffer, std::min<int32_t>(n, sizeof buffer));
    }
    return {};
}

// Why readers may not see the character as written.
QString whyMarked(char32_t c)
{
    if (c == u'\t')
        return u"タブです。読者のメールソフトによって幅が変わり、桁がそろいません。"_s;
    if (c == 0x00A0)
        return u"ノーブレークスペースです。空白に見えますが別の文字で、ISO-2022-JP では送れず、"
               u"「?」に化けることがあります。"_s;
    if (TextMarks::invisible(c))
        return u"幅のない文字、または書式や方向を制御する文字です。読者の画面では見えないまま"
               u"表示を崩したり、文字化けしたりします。"_s;
    return u"ISO-2022-JP（JIS X 0208）にない文字です。配信の途中で「?」に化けたり、配信を"
           u"断られたりして、読者にはこのとおりに見えないことがあります。"_s;
}

QString codePointLabel(char32_t c)
{
    return u"U+"_s + QString::number(uint(c), 16).toUpper().rightJustified(4, u'0');
}

// The character of an uncarried or invisible mark: what it is, why it is marked and what the
// menu would put in its place.
QString aboutCharacter(QStringView line, qsizetype start)
{
    const char32_t c = codePointAt(line, start);
    QString part = codePointLabel(c) + u' ' + characterName(c) + u'\n' + whyMarked(c);
    if (const auto r = PlainForms::at(line, start))
        part += r->plain.isEmpty() ? u"\n置き換え: 取り除く"_s
            : r->plain == u" "_s   ? u"\n置き換え: 半角スペース"_s
                                   : u"\n置き換え: 「%1」"_s.arg(r->plain);
    return part;
}

} // namespace

char32_t codePointAt(QStringView s, qsizetype i)
{
    if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(s[i], s[i + 1]);
    return s[i].unicode();
}

QString shown(QStringView s)
{
    QStringList hidden;
    for (qsizetype i = 0; i < s.size(); i += s[i].isHighSurrogate() ? 2 : 1) {
        if (TextMarks::invisible(codePointAt(s, i)))
            hidden << codePointLabel(codePointAt(s, i));
    }
    QString text = hidden.isEmpty() ? s.toString() : hidden.join(u' ');
    return text.replace(u'&', u"&&"_s);
}

QString toolTip(QStringView line, qsizetype offset, int guide)
{
    QStringList parts;
    for (const TextMarks::Mark &mark : TextMarks::markLine(line, guide)) {
        if (offset < mark.start || offset >= mark.start + mark.length)
            continue;
        switch (mark.kind) {
        case Kind::Uncarried:
        case Kind::Invisible:
            parts << aboutCharacter(line, mark.start);
            break;
        case Kind::TrailingSpace:
            parts << u"行末の空白です。読者には見えず、送っても意味がありません。"_s;
            break;
        case Kind::PastGuide:
            parts << u"幅 %1 桁を超えた部分です。読者のメールソフトによっては思わぬ位置で"
                     u"折り返されます。「選択範囲を折り返す」で折り返せます。"_s.arg(guide);
            break;
        }
    }
    return parts.join(u"\n\n"_s);
}

} // namespace MarkDescriptions
