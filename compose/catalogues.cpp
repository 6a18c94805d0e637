#include "catalogues.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace Catalogues {

QStringList decorations()
{
    return {
        u"■■■■■■"_s,
        u"■□■□■□■□"_s,
        u"□□□□□□□□□□□□"_s,
        u"＼|＼|＼|＼|＼|＼|"_s,
        u"／|／|／|／|／|／|"_s,
        u"∠∠∠∠∠∠∠∠"_s,
        u"ΨΨΨΨΨΨΨΨΨΨ"_s,
        u"※※※※※※※※※※※※※※※※※※※※"_s,
        u"♪♪♪♪♪♪♪♪♪♪"_s,
        u"###############"_s,
        u"@@@@@@@@@@"_s,
        u"(((((((((((((((((((("_s,
        u"))))))))))))))))))))"_s,
        u"ΩΩΩΩΩΩΩΩΩΩ"_s,
        u"ψψψψψψψψψψ"_s,
        u"†††††††††††††††"_s,
    };
}

QStringList issueLabels()
{
    // Every label but the first two is the quoted title placeholder followed by a suffix.
    const QString placeholder = u"\"タイトル名を入れて下さい\""_s;
    QStringList labels { u"週間"_s, u"月間"_s };
    const QStringList suffixes {
        u"１月号"_s,   u"２月号"_s,   u"３月号"_s, u"４月号"_s,   u"５月号"_s,
        u"６月号"_s,   u"７月号"_s,   u"８月号"_s, u"９月号"_s,   u"１０月号"_s,
        u"１１月号"_s, u"１２月号"_s, u"特大号"_s, u"緊急配信"_s, u"号　外"_s,
    };
    for (const QString &suffix : suffixes)
        labels.append(placeholder + suffix);
    return labels;
}

bool isOwnText(QStringView line)
{
    static const QStringList own = closingLines() << QString::fromUtf16(InitialSignature);
    return std::any_of(own.cbegin(), own.cend(),
                       [line](const QString &text) { return text == line; });
}

QStringList closingLines()
{
    return {
        u"-----　次回をお楽しみに！　------------　END　---------------"_s,
        u"-----　配信中止はE-mailで受け付けます！　------------　END　---------------"_s,
    };
}

} // namespace Catalogues
