#include "catalogues.h"

namespace Catalogues {

QStringList decorations()
{
    return {
        u"■■■■■■"_qs,
        u"■□■□■□■□"_qs,
        u"□□□□□□□□□□□□"_qs,
        u"＼|＼|＼|＼|＼|＼|"_qs,
        u"／|／|／|／|／|／|"_qs,
        u"∠∠∠∠∠∠∠∠"_qs,
        u"ΨΨΨΨΨΨΨΨΨΨ"_qs,
        u"※※※※※※※※※※※※※※※※※※※※"_qs,
        u"♪♪♪♪♪♪♪♪♪♪"_qs,
        u"###############"_qs,
        u"@@@@@@@@@@"_qs,
        u"(((((((((((((((((((("_qs,
        u"))))))))))))))))))))"_qs,
        u"ΩΩΩΩΩΩΩΩΩΩ"_qs,
        u"ψψψψψψψψψψ"_qs,
        u"†††††††††††††††"_qs,
    };
}

QStringList issueLabels()
{
    // Every label but the first two is the quoted title placeholder followed by a suffix.
    const QString placeholder = u"\"タイトル名を入れて下さい\""_qs;
    QStringList labels { u"週間"_qs, u"月間"_qs };
    const QStringList suffixes {
        u"１月号"_qs,   u"２月号"_qs,   u"３月号"_qs, u"４月号"_qs,   u"５月号"_qs,
        u"６月号"_qs,   u"７月号"_qs,   u"８月号"_qs, u"９月号"_qs,   u"１０月号"_qs,
        u"１１月号"_qs, u"１２月号"_qs, u"特大号"_qs, u"緊急配信"_qs, u"号　外"_qs,
    };
    for (const QString &suffix : suffixes)
        labels.append(placeholder + suffix);
    return labels;
}

QStringList closingLines()
{
    return {
        u"-----　次回をお楽しみに！　------------　END　---------------"_qs,
        u"-----　配信中止はE-mailで受け付けます！　------------　END　---------------"_qs,
    };
}

} // namespace Catalogues
