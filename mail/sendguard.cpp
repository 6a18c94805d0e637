#include "sendguard.h"

#include "mailhandler.h"
#include "recipientaddress.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// What the author reads of a copy that could not be kept.
QString copyFailure(const SentCopies::Failure &failure)
{
    if (failure.what == SentCopies::Failure::Folder)
        return u"控えのフォルダー %1 を作れませんでした。"_s.arg(failure.path);
    return u"控え %1 を書けませんでした（%2）。"_s.arg(failure.path, failure.reason);
}

} // namespace

SendGuard::SendGuard(Ask ask)
    : m_ask(std::move(ask))
{ }

std::optional<Error> SendGuard::refusal(const OutgoingDocument &document,
                                        const QString &placeholder)
{
    const QString &body = document.body;
    if (body != placeholder
        && std::any_of(body.cbegin(), body.cend(), [](QChar c) { return !c.isSpace(); }))
        return std::nullopt;
    return Error { MapiError::InvalidMessage,
                   u"送信する文書がありません。「作成文書の表示」で文書を作ってから、"
                   u"もう一度送信してください。メールは送られていません。"_s };
}

SendGuard::Verdict SendGuard::check(const OutgoingDocument &document, int guide,
                                    const QDateTime &now)
{
    Verdict verdict;
    verdict.send = mayHandOffMarked(document.body, guide, verdict) && maySendAgain(document, now);
    return verdict;
}

bool SendGuard::mayHandOffMarked(const QString &document, int guide, Verdict &verdict)
{
    const TextMarks::Summary summary = TextMarks::summarize(document, guide);
    if (!summary.asks())
        return true;
    enum { Send, GoBack };
    if (m_ask({ TextMarks::question(summary, guide),
                { u"送信する(&S)"_s, u"戻って直す(&B)"_s },
                GoBack,
                GoBack })
        == Send)
        return true;
    verdict.mend = summary.firstAsked();
    return false;
}

bool SendGuard::maySendAgain(const OutgoingDocument &document, const QDateTime &now)
{
    if (!m_lastSent.at.isValid() || m_lastSent.document != document.body
        || m_lastSent.address != document.recipientAddress || m_lastSent.at > now
        || m_lastSent.at.secsTo(now) >= ResendQuestionSeconds)
        return true;
    enum { Yes, No };
    const QString question
        = u"この文書は %1 に同じ宛先へ送信済みです。もう一度送信しますか？"_s.arg(
            m_lastSent.at.toString(u"HH:mm"_s));
    return m_ask({ question, { u"はい"_s, u"いいえ"_s }, No, No }) == Yes;
}

void SendGuard::sent(const OutgoingDocument &document, const QDateTime &at)
{
    m_lastSent = { document.body, document.recipientAddress, at };
}

SendGuard::Told SendGuard::told(const OutgoingDocument &document, const QDateTime &at,
                                const std::optional<SentCopies::Failure> &failure)
{
    const QString recipient
        = RecipientAddress::mailbox(document.recipientName, document.recipientAddress);
    QString body
        = u"%1 に %2 宛てのメールを送信しました（メール転送プログラムに渡しました）。"_s.arg(
            at.toString(u"HH:mm"_s), recipient);
    if (failure)
        body += u"控えは保存できませんでした: "_s + copyFailure(*failure);
    return { u"メールマガジンを送信しました"_s, body };
}
