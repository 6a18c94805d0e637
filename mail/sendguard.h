// The policy of sending an issue, without a window: what is refused before anything starts, the
// questions the author answers before a hand-off, the record of what was sent, and what the
// author is told afterwards. The window asks the questions it is given and runs the hand-off in
// between; a list server passes every issue on to all its subscribers, so a second copy cannot
// be called back.
#pragma once

#include "documentassembly.h"
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
    /// Tells the author something that needs no answer.
    using Warn = std::function<void(const QString &)>;

    /// record, when given, is where every hand-off of every instance is kept; it must outlive
    /// the guard. Without it, only this guard's own sends are remembered.
    explicit SendGuard(Ask ask, SentCopies *record = nullptr, Warn warn = {});

    /// Why the document is not sent at all, before any question: no valid address, nothing in
    /// the document worth sending, or only the document box's initial text (placeholder).
    /// Nothing when it may go on.
    static std::optional<Error> refusal(const OutgoingDocument &document,
                                        const QString &placeholder);

    /// What the questions look at besides the document.
    struct Context
    {
        /// The width guide, in columns.
        int guide = TextMarks::DefaultGuide;
        /// The fields the document was last made or restored from; none when it never was.
        std::optional<DocumentFields> madeFrom;
        /// The fields as they are now.
        DocumentFields fields;
    };
    /// The author's verdict on the questions before a hand-off.
    struct Verdict
    {
        bool send = false;
        /// Where the author chose to go back to mend a marked place.
        std::optional<TextMarks::Place> mend;
    };
    /// Asks, in this order and only where there is something to ask: whether to send a document
    /// made before the fields it comes from changed, whether to send characters readers may not
    /// see as written or lines past the guide, and whether to send a document recorded as sent
    /// to the same address before.
    Verdict check(const OutgoingDocument &document, const Context &context);

    /// Whether the document is recorded as sent to its address, by any instance.
    bool wasSent(const OutgoingDocument &document);

    /// Remembers a document the transport took, at that time; a test to the author is not.
    void sent(const OutgoingDocument &document, const QDateTime &at);

    /// What the author is told after a send.
    struct Told
    {
        QString summary;
        QString body;
    };
    /// When and to whom it went, and a copy that could not be kept; a test says it was one.
    static Told told(const OutgoingDocument &document, const QDateTime &at,
                     const std::optional<SentCopies::Failure> &copyFailure);

    /// The fields of the document whose text differs, by the names the author knows them by, in
    /// the document's order.
    static QStringList changedFields(const DocumentFields &before, const DocumentFields &now);

private:
    bool mayHandOffStale(const Context &context);
    bool mayHandOffMarked(const QString &document, int guide, Verdict &verdict);
    bool maySendAgain(const OutgoingDocument &document);
    QList<SentCopies::Recorded> recordedSends(const OutgoingDocument &document);

    Ask m_ask;
    SentCopies *m_record;
    Warn m_warn;
    // This guard's own sends, for when there is no shared record or it cannot be read.
    struct Sent
    {
        QString document;
        QString address;
        QDateTime at;
    };
    QList<Sent> m_sent;
};
