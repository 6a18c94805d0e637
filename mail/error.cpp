#include "error.h"

using namespace Qt::StringLiterals;

namespace RuntimeError {

Error error(qint32 number)
{
    switch (number) {
    case OutOfMemory:
        return { number, u"メモリが不足しています。"_s };
    case FileNotFound:
        return { number, u"ファイルが見つかりません。"_s };
    case InvalidPropertyValue:
        return { number, u"プロパティの値が不正です。"_s };
    case NoFonts:
        return { number, u"フォントが存在しません。"_s };
    default:
        return { number, u"内部エラーです。"_s };
    }
}

} // namespace RuntimeError
