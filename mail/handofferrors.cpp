#include "handofferrors.h"

#include "mailhandler.h"

#include <QFileInfo>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <iterator>

using namespace Qt::StringLiterals;

namespace {

using Helper = HandOffErrors::Helper;
using How = HandOffEnd::How;

constexpr int Any = -1;
enum class Input { Either, All, NotAll };

// One way a hand-off can end and what the user is told; the first row that matches counts.
struct Row
{
    Helper helper;
    int how; // a How, or Any
    int exitCode; // when the program exited: its code, or Any
    Input input; // whether the program read the whole message
    qint32 number; // 0: handed over, nothing to report
    // %program (its path), %name, %code ("-" unless it exited), %address, %seconds (the
    // limit), %reason (why it did not start) and %hint are filled in.
    const char16_t *text;
    bool setUpHint; // %hint: what to set up, and README's 「メールの設定」
    bool said; // the first lines the program wrote follow the text
};

const char16_t Cancelled[]
    = u"メールの送信を取り消しました。メールは送られていない可能性があります。";

// sysexits 67 and 68: the transport could not resolve the recipient's user or host; 78: its
// configuration is missing or wrong.
const Row Table[] = {
    { Helper::Transport, How::NotFound, Any, Input::Either, MapiError::LoginFailure,
      u"メールを送るためのメール転送プログラム（sendmail 互換）が見つかりません。"
      u"msmtp-mta などのメール転送プログラムをインストールして設定してから、"
      u"もう一度送信してください%hint。",
      true, false },
    { Helper::Transport, How::FailedToStart, Any, Input::Either, MapiError::Failure,
      u"メール転送プログラム %program を起動できませんでした（%reason）。"
      u"メールは送られていません。",
      false, false },
    // A transport cancelled after it read the whole message may have sent it all the same: the
    // user must not be led to send the issue a second time.
    { Helper::Transport, How::Cancelled, Any, Input::All, MapiError::UserAbort,
      u"メールの送信を取り消しましたが、メール転送プログラムはメッセージを最後まで受け取って"
      u"いました。メールは既に送られている可能性があります。もう一度送信する前に、"
      u"届いているか確かめてください。",
      false, false },
    { Helper::Transport, How::Cancelled, Any, Input::Either, MapiError::UserAbort, Cancelled, false,
      false },
    // The same after a time-out: the transport had everything it needed to send.
    { Helper::Transport, How::TimedOut, Any, Input::All, MapiError::Failure,
      u"メール転送プログラム %name が %seconds 秒たっても終わらないため、止めましたが、"
      u"メッセージは最後まで受け取っていました。メールは既に送られている可能性があります。"
      u"もう一度送信する前に、届いているか確かめてください。",
      false, true },
    { Helper::Transport, How::TimedOut, Any, Input::Either, MapiError::Failure,
      u"メール転送プログラム %name が %seconds 秒たっても終わらないため、止めました。"
      u"メールは届いていない可能性があります。ネットワークと転送プログラムの設定を"
      u"確かめてから、もう一度送信してください。",
      false, true },
    { Helper::Transport, How::Crashed, Any, Input::Either, MapiError::Failure,
      u"メール転送プログラム %name が異常終了しました。メールは届いていない可能性があります。",
      false, true },
    { Helper::Transport, How::Exited, 0, Input::All, 0, nullptr, false, false },
    // A transport that stops reading and still says "sent" has not sent this message.
    { Helper::Transport, How::Exited, 0, Input::NotAll, MapiError::Failure,
      u"メール転送プログラム %name がメッセージを最後まで受け取らずに終わりました。"
      u"メールは正しく届いていない可能性があります。",
      false, true },
    { Helper::Transport, How::Exited, 67, Input::Either, MapiError::UnknownRecipient,
      u"宛先 %address にはメールを届けられません（%name の終了コード %code）。"
      u"宛先メールアドレスが正しいか確かめてください。",
      false, true },
    { Helper::Transport, How::Exited, 68, Input::Either, MapiError::UnknownRecipient,
      u"宛先 %address にはメールを届けられません（%name の終了コード %code）。"
      u"宛先メールアドレスが正しいか確かめてください。",
      false, true },
    { Helper::Transport, How::Exited, 78, Input::Either, MapiError::Failure,
      u"メール転送プログラム %name の設定がされていないか、正しくありません（終了コード %code）。"
      u"%hint。メールは送られていません。",
      true, true },
    { Helper::Transport, Any, Any, Input::All, MapiError::Failure,
      u"メール転送プログラム %name がメールを送れませんでした（終了コード %code）。"
      u"転送プログラムの設定とネットワークを確かめてから、もう一度送信してください。",
      false, true },
    { Helper::Transport, Any, Any, Input::NotAll, MapiError::Failure,
      u"メール転送プログラム %name がメールを送れませんでした（終了コード %code）。"
      u"転送プログラムの設定とネットワークを確かめてから、もう一度送信してください。\n"
      u"転送プログラムはメッセージを最後まで受け取っていません。",
      false, true },

    { Helper::MailClient, How::NotFound, Any, Input::Either, MapiError::Failure,
      u"メールソフトの作成画面を開く xdg-email が見つかりません。"
      u"xdg-utils をインストールしてください。",
      false, false },
    // xdg-email still running at the limit runs the mail client in the foreground: the compose
    // window is open.
    { Helper::MailClient, How::LeftRunning, Any, Input::Either, 0, nullptr, false, false },
    { Helper::MailClient, How::Cancelled, Any, Input::Either, MapiError::UserAbort, Cancelled,
      false, false },
    { Helper::MailClient, How::FailedToStart, Any, Input::Either, MapiError::Failure,
      u"%program を起動できませんでした（%reason）。", false, false },
    { Helper::MailClient, How::Exited, 0, Input::Either, 0, nullptr, false, false },
    { Helper::MailClient, Any, Any, Input::Either, MapiError::Failure,
      u"メールソフトの作成画面を開けませんでした（xdg-email の終了コード %code）。"
      u"既定のメールソフトが設定されているか確かめてください。",
      false, true },
};

bool matches(const Row &row, Helper helper, const HandOffEnd &outcome)
{
    return row.helper == helper && (row.how == Any || row.how == outcome.how)
        && (row.exitCode == Any || (outcome.how == How::Exited && row.exitCode == outcome.exitCode))
        && (row.input == Input::Either || (row.input == Input::All) == outcome.tookAllInput);
}

// What the user is told to set up: the transport's own configuration, and README's section.
QString setUpHint(const QString &transport)
{
    QString hint;
    if (!transport.isEmpty()) {
        const QString program = QFileInfo(QFileInfo(transport).canonicalFilePath()).fileName();
        hint = program.startsWith(u"msmtp"_s)
            ? u"msmtp の設定ファイル ~/.msmtprc を作ってください"_s
            : u"%1 の設定を確かめてください"_s.arg(program.isEmpty() ? transport : program);
    }
    return hint + u"（README の「メールの設定」を参照）"_s;
}

// The first few lines a program wrote, for the description of the error.
QString firstLines(const QByteArray &output)
{
    QStringList lines;
    for (QString line : QString::fromLocal8Bit(output).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        if (line.size() > 200)
            line = line.left(200) + u'…';
        lines << line;
        if (lines.size() == 3)
            break;
    }
    return lines.isEmpty() ? QString() : u"\n"_s + lines.join(u'\n');
}

// The text with each %word of values replaced in one pass, so that nothing filled in is read
// as a placeholder again.
QString fillIn(QStringView text, const QHash<QString, QString> &values)
{
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'%') {
            qsizetype end = i + 1;
            while (end < text.size() && text[end] >= u'a' && text[end] <= u'z')
                ++end;
            if (const auto value = values.constFind(text.sliced(i + 1, end - i - 1).toString());
                value != values.constEnd()) {
                result += *value;
                i = end - 1;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

} // namespace

namespace HandOffErrors {

std::optional<Error> errorFor(Helper helper, const HandOffEnd &outcome, const Context &context)
{
    const auto row = std::find_if(std::begin(Table), std::end(Table),
                                  [&](const Row &r) { return matches(r, helper, outcome); });
    Q_ASSERT(row != std::end(Table)); // the last row of each helper matches any outcome
    if (row == std::end(Table) || row->number == 0)
        return std::nullopt;
    const QHash<QString, QString> values {
        { u"program"_s, context.program },
        { u"name"_s, QFileInfo(context.program).fileName() },
        { u"code"_s, outcome.how == How::Exited ? QString::number(outcome.exitCode) : u"-"_s },
        { u"address"_s, context.recipientAddress },
        { u"seconds"_s, u"%1"_s.arg(context.limit.count() / 1000.0) },
        { u"reason"_s, outcome.startError },
        { u"hint"_s, row->setUpHint ? setUpHint(context.program) : QString() },
    };
    return Error { row->number,
                   fillIn(row->text, values) + (row->said ? firstLines(outcome.said) : QString()) };
}

Delivered delivered(const HandOffEnd &outcome)
{
    if (!outcome.tookAllInput)
        return Delivered::No;
    if (outcome.how == How::Exited && outcome.exitCode == 0)
        return Delivered::Yes;
    return outcome.how == How::Cancelled || outcome.how == How::TimedOut ? Delivered::Maybe
                                                                         : Delivered::No;
}

QString progress(Helper helper)
{
    return helper == Helper::Transport ? u"メールを送信しています…"_s
                                       : u"メールソフトの作成画面を開いています…"_s;
}

} // namespace HandOffErrors

namespace MailErrors {

Error sessionClosed()
{
    return { MapiError::NoValidSession,
             u"メールのセッションは既に閉じられています。もう一度送信してください。"_s };
}

Error noSession()
{
    return { MapiError::NoValidSession, u"メールのセッションが開かれていません。"_s };
}

Error invalidSession(qint32 id)
{
    return { MapiError::InvalidSession,
             u"メールのセッション番号 %1 は正しくありません。"_s.arg(id) };
}

Error bodyTooLargeForClient(qsizetype maxBytes)
{
    return { MapiError::TextTooLarge,
             u"本文が長すぎるため、メールソフトに渡せません（%1 バイトまで）。"_s.arg(maxBytes) };
}

Error noMessageModule(const QString &module)
{
    return { MapiError::Failure,
             u"メッセージを組み立てる部品 (%1) が見つからないか、読み込めません。"
             u"Zelvora をインストールし直してください。"_s.arg(module) };
}

Error notBuilt(qint32 number)
{
    if (number == MapiError::InsufficientMemory)
        return { number, u"メモリが不足しています。"_s };
    return { number, u"メッセージを組み立てられませんでした。"_s };
}

Error noRoomForMessage(qint32 number)
{
    return { number, u"送信するメッセージを一時的に置く場所がありません。"_s };
}

} // namespace MailErrors
