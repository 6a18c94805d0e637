// The policy of sending an issue, without a window: what is refused before anything starts, the
// questions the author answers before a hand-off, the record of what was sent, and what the
// author is told afterwards. The window asks the questions it is given and runs the hand-off in
// between; a list server passes every issue on to all its subscribers, so a second copy cannot
// be called back.
#pragma once

#include "documentsender.h"
#include "error.h"
#include "sentcopies.h"
#include "textmarks.h"

#include <QDateTime>
#include <QStringList>

#include <functional>
#include <optional>

class SendGuard final
{
public:
    /// A question for the author: the answers left to right ("&" marks the access key), the one
    /// Enter gives and the one Escape and the close box give.
    struct Question
    {
        QString text;
        QStringList answers;
        int defaultAnswer = 0;
        int escapeAnswer = 0;
    };
    /// Asks the author and returns the index of the answer.
    using Ask = std::function<int(const Question &)>;

    /// The same document to the same address again within this time is asked about.
    static constexpr qint64 ResendQuestionSeconds = 10 * 60;

    explicit SendGuard(Ask ask);

    /// Why the document is not sent at all, before any question: nothing in it worth sending, or
    /// only the document box's initial text (placeholder). Nothing when it may go on.
    static std::optional<Error> refusal(const OutgoingDocument &document,
                                        const QString &placeholder);

    /// The author's verdict on the questions before a hand-off.
    struct Verdict
    {
        bool send = false;
        /// Where the author chose to go back to mend a marked place.
        std::optional<TextMarks::Place> mend;
    };
    /// Asks, in this order and only where there is something to ask: whether to send characters
    /// readers may not see as written or lines past the guide (guide: its width in columns), and
    /// whether to send the same document to the same address again.
    Verdict check(const OutgoingDocument &document, int guide, const QDateTime &now);

    /// Records a document the transport took, at that time.
    void sent(const OutgoingDocument &document, const QDateTime &at);

    /// What the author is told after a send.
    struct Told
    {
        QString summary;
        QString body;
    };
    /// When and to whom it went, and a copy that could not be kept.
    static Told told(const OutgoingDocument &document, const QDateTime &at,
                     const std::optional<SentCopies::Failure> &copyFailure);

private:
    bool mayHandOffMarked(const QString &document, int guide, Verdict &verdict);
    bool maySendAgain(const OutgoingDocument &document, const QDateTime &now);

    Ask m_ask;
    // The last issue handed off, so that the same one is not sent twice by mistake.
    struct
    {
        QString document;
        QString address;
        QDateTime at;
    } m_lastSent;
};
