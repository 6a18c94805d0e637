#include "sendguard.h"

#include "backnumbers.h"
#include "mailhandler.h"
#include "recipientaddress.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// What the author reads of a copy or a record that could not be kept.
QString copyFailure(const SentCopies::Failure &failure)
{
    using What = SentCopies::Failure::What;
    switch (failure.what) {
    case What::Folder:
        return u"控えのフォルダー %1 を作れませんでした。"_s.arg(failure.path);
    case What::FolderMode:
        return u"控えのフォルダー %1 を自分だけが読めるようにできませんでした。"_s.arg(
            failure.path);
    case What::Record:
        return u"送信の記録 %1 を書けませんでした（%2）。"_s.arg(failure.path, failure.reason);
    case What::RecordUnreadable:
        return u"送信の記録を読み込めなかったため、%1 に移しました。"_s.arg(failure.path);
    case What::File:
        break;
    }
    return u"控え %1 を書けませんでした（%2）。"_s.arg(failure.path, failure.reason);
}

// The fields of the document, by the names the author knows them by, in the document's order.
struct NamedField
{
    QString DocumentFields::*field;
    const char16_t *name;
};
constexpr NamedField DocumentOrder[] = {
    { &DocumentFields::startDecoration, u"始め" },
    { &DocumentFields::subtitle, u"サブタイトル" },
    { &DocumentFields::endDecoration, u"終わり" },
    { &DocumentFields::homepageLine, u"ホームページ" },
    { &DocumentFields::emailLine, u"メールアドレス" },
    { &DocumentFields::issueLine, u"発行号" },
    { &DocumentFields::signature, u"配信者サイン" },
    { &DocumentFields::body, u"本文" },
    { &DocumentFields::closingLine, u"フッタ部" },
};

} // namespace

SendGuard::SendGuard(Ask ask, SentCopies *record, Warn warn)
    : m_ask(std::move(ask))
    , m_record(record)
    , m_warn(std::move(warn))
{ }

std::optional<Error> SendGuard::refusal(const OutgoingDocument &document,
                                        const QString &placeholder)
{
    if (const auto refused
        = ErrorHandling::trap([&] { RecipientAddress::check(document.recipientAddress); }))
        return refused;
    const QString &body = document.body;
    if (body != placeholder
        && std::any_of(body.cbegin(), body.cend(), [](QChar c) { return !c.isSpace(); }))
        return std::nullopt;
    return Error { MapiError::InvalidMessage,
                   u"送信する文書がありません。「作成文書の表示」で文書を作ってから、"
                   u"もう一度送信してください。メールは送られていません。"_s };
}

SendGuard::Verdict SendGuard::check(const OutgoingDocument &document, const Context &context)
{
    Verdict verdict;
    verdict.send = mayHandOffStale(context)
        && mayHandOffMarked(document.body, context.guide, verdict) && maySendAgain(document);
    return verdict;
}

QStringList SendGuard::changedFields(const DocumentFields &before, const DocumentFields &now)
{
    QStringList changed;
    for (const NamedField &f : DocumentOrder)
        if (before.*f.field != now.*f.field)
            changed << QString::fromUtf16(f.name);
    return changed;
}

// A document made before its fields changed is last week's issue, or lacks this week's body.
bool SendGuard::mayHandOffStale(const Context &context)
{
    if (!context.madeFrom)
        return true;
    const QStringList changed = changedFields(*context.madeFrom, context.fields);
    if (changed.isEmpty())
        return true;
    enum { Send, GoBack };
    return m_ask({ u"文書を作った後に、次の欄が変わっています: %1。このまま送信しますか？"_s.arg(
                       changed.join(u"、"_s)),
                   { u"このまま送信する"_s, u"戻る"_s },
                   GoBack,
                   GoBack })
        == Send;
}

// The lines that went out as they stand in the issues sent before are still marked in the
// window, but not asked about again: the author decided on them then.
bool SendGuard::mayHandOffMarked(const QString &document, int guide, Verdict &verdict)
{
    TextMarks::Summary summary = TextMarks::summarize(document, guide);
    if (summary.asks() && m_record)
        summary = TextMarks::summarize(document, guide,
                                       Backnumbers::markedLines(m_record->folder(), guide));
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

// Any earlier hand-off of the same document to the same address, by any instance, at any time.
QList<SentCopies::Recorded> SendGuard::recordedSends(const OutgoingDocument &document)
{
    QList<SentCopies::Recorded> recorded;
    if (m_record) {
        recorded = m_record->recorded(document.recipientAddress, document.body);
        const auto failure = m_record->lastFailure();
        if (failure && failure->what == SentCopies::Failure::RecordUnreadable && m_warn)
            m_warn(copyFailure(*failure)
                   + u"これまでに送った号は、控えのフォルダーで確かめてください。"_s);
    }
    for (const Sent &sent : std::as_const(m_sent))
        if (sent.document == document.body
            && sent.address.compare(document.recipientAddress, Qt::CaseInsensitive) == 0)
            recorded.append({ sent.at, true });
    return recorded;
}

bool SendGuard::wasSent(const OutgoingDocument &document)
{
    return !recordedSends(document).isEmpty();
}

// Asks about the latest earlier hand-off that surely went, or else the latest that may have.
bool SendGuard::maySendAgain(const OutgoingDocument &document)
{
    const QList<SentCopies::Recorded> recorded = recordedSends(document);
    if (recorded.isEmpty())
        return true;
    const auto latest = [&](bool confirmed) {
        std::optional<SentCopies::Recorded> found;
        for (const auto &r : std::as_const(recorded))
            if (r.confirmed == confirmed && (!found || r.at > found->at))
                found = r;
        return found;
    };
    const SentCopies::Recorded shown = latest(true).value_or(*latest(false));
    const QString when = shown.at.toString(u"yyyy/MM/dd HH:mm"_s);
    const QString question = shown.confirmed
        ? u"この文書は %1 に同じ宛先へ送信済みです。もう一度送信しますか？"_s.arg(when)
        : u"この文書は %1 に同じ宛先へ送信した可能性があります。もう一度送信しますか？"_s.arg(when);
    enum { Yes, No };
    return m_ask({ question, { u"はい"_s, u"いいえ"_s }, No, No }) == Yes;
}

void SendGuard::sent(const OutgoingDocument &document, const QDateTime &at)
{
    if (!document.test)
        m_sent.append({ document.body, document.recipientAddress, at });
}

SendGuard::Told SendGuard::told(const OutgoingDocument &document, const QDateTime &at,
                                const std::optional<SentCopies::Failure> &failure)
{
    const QString recipient
        = RecipientAddress::mailbox(document.recipientName, document.recipientAddress);
    if (document.test)
        return { u"テスト送信しました"_s,
                 u"%1 に %2 宛てにテスト送信しました（メール転送プログラムに渡しました）。"_s.arg(
                     at.toString(u"HH:mm"_s), recipient) };
    QString body
        = u"%1 に %2 宛てのメールを送信しました（メール転送プログラムに渡しました）。"_s.arg(
            at.toString(u"HH:mm"_s), recipient);
    if (failure)
        body += u"控えは保存できませんでした: "_s + copyFailure(*failure);
    return { u"メールマガジンを送信しました"_s, body };
}
