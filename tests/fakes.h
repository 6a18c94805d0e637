// Fakes of the platform services that record what the windows ask of them.
#pragma once

#include "clock.h"
#include "commondialog.h"
#include "launcher.h"
#include "mailhandler.h"
#include "messagebox.h"
#include "notifier.h"
#include "sendersettings.h"
#include "sentcopies.h"
#include "services.h"
#include "shell.h"

#include <QList>
#include <QStringList>
#include <exception>
#include <optional>

class FakeMessageBox final : public MessageBox
{
public:
    struct Shown
    {
        QString prompt;
        int style;
        QString title;
    };
    int show(const QString &prompt, int style, const QString &title) override
    {
        shown.append({ prompt, style, title });
        return Ok;
    }
    /// Records the question and answers with the next scripted answer, else the escape button.
    int ask(const QString &question, const QStringList &, int defaultButton,
            int escapeButton) override
    {
        asked.append({ question, defaultButton });
        return answers.isEmpty() ? escapeButton : answers.takeFirst();
    }
    struct Asked
    {
        QString question;
        int defaultButton;
    };
    QList<Shown> shown;
    QList<Asked> asked;
    QList<int> answers;
};

class FakeLauncher final : public Launcher
{
public:
    qint64 start(const QString &commandLine, int windowStyle) override
    {
        started.append({ commandLine, windowStyle });
        if (failure)
            std::rethrow_exception(failure);
        return 4242;
    }
    QList<std::pair<QString, int>> started;
    std::exception_ptr failure;
};

/// A clock that reads out a script of seconds, then keeps returning the last one.
class FakeClock final : public Clock
{
public:
    QDate currentDate() const override { return now.date(); }
    QDateTime currentDateTime() const override { return now; }
    double seconds() const override
    {
        ++reads;
        return readings.size() > 1 ? readings.takeFirst() : readings.value(0);
    }
    QDateTime now { QDate(2001, 5, 12), QTime(10, 15) };
    mutable QList<double> readings;
    mutable int reads = 0;
};

/// A font dialog whose user picks `choice` each time it is shown.
class FakeCommonDialog final : public CommonDialog
{
public:
    void setFlags(qint32 f) override { m_flags = f; }
    qint32 flags() const override { return m_flags; }
    void showFont() override { m_font = choice; }
    FontChoice font() const override { return m_font; }
    void setFont(const FontChoice &font) override { m_font = font; }

    FontChoice choice { { QStringLiteral("IPAPGothic") } };

private:
    qint32 m_flags = 0;
    FontChoice m_font;
};

class FakeShell final : public Shell
{
public:
    qintptr shellExecute(quintptr, const QByteArray &operation, const QByteArray &file,
                         const QByteArray &parameters, const QByteArray &directory,
                         qint32 showCommand) override
    {
        calls.append({ operation, file, parameters, directory, QByteArray::number(showCommand) });
        return 42;
    }
    QList<QList<QByteArray>> calls; // operation, file, parameters, directory, show command
};

/// A mail handler whose controls record the messages sent.
class FakeMailHandler final : public MailHandler
{
    struct Control final : MapiSession, MapiMessages
    {
        explicit Control(FakeMailHandler &handler)
            : m_handler(handler)
        { }
        void signOn() override { }
        qint32 sessionId() const override { return 7; }
        void signOff() override { }
        void setSessionId(qint32) override { }
        void compose() override { }
        void setRecipDisplayName(const QString &) override { }
        void setRecipAddress(const QString &address) override { m_address = address; }
        void setMsgSubject(const QString &) override { }
        void setMsgNoteText(const QString &text) override { m_text = text; }
        void setOriginator(const QString &, const QString &) override { }
        void setKeptAsIssue(bool kept) override { m_kept = kept; }
        void send(bool) override
        {
            m_handler.sent.append({ m_address, m_text });
            // Like the transport: what it read to the end is kept, even if stopped afterwards.
            if (m_handler.copies && m_kept
                && (!m_handler.failure || m_handler.readAllBeforeFailing))
                m_handler.copies->keep(m_text.toUtf8(), { m_address, m_text, !m_handler.failure });
            if (m_handler.failure)
                throw *m_handler.failure;
        }
        FakeMailHandler &m_handler;
        QString m_address, m_text;
        bool m_kept = true;
    };

public:
    std::unique_ptr<MapiSession> createSession() override
    {
        return std::make_unique<Control>(*this);
    }
    std::unique_ptr<MapiMessages> createMessages() override
    {
        return std::make_unique<Control>(*this);
    }
    QList<std::pair<QString, QString>> sent; // address, text
    std::optional<Error> failure;
    bool readAllBeforeFailing = false; // the failure came after the transport read everything
    SentCopies *copies = nullptr;
};

/// A desktop without a notification service, or with one that shows what it is given.
class FakeNotifier final : public Notifier
{
public:
    void notify(const QString &summary, const QString &body,
                std::function<void()> unanswered) override
    {
        notified.append(summary + u'\n' + body);
        if (!answering)
            unanswered();
    }
    QStringList notified;
    bool answering = true;
};

/// Keeps the copies of the messages sent in memory.
class FakeSentCopies final : public SentCopies
{
public:
    void keep(const QByteArray &message, const Delivery &delivery) override
    {
        if (failure)
            return;
        kept.append(message);
        record.append({ delivery, at });
    }
    QList<Recorded> recorded(const QString &address, const QString &document) override
    {
        QList<Recorded> found;
        for (const auto &[delivery, when] : std::as_const(record))
            if (delivery.document == document
                && delivery.address.compare(address, Qt::CaseInsensitive) == 0)
                found.append({ when, delivery.confirmed });
        return found;
    }
    void keepFields(const QByteArray &) override { }
    QString folder() const override { return {}; }
    std::optional<Failure> lastFailure() const override { return failure; }
    QList<QByteArray> kept;
    QList<std::pair<Delivery, QDateTime>> record;
    QDateTime at { QDate(2026, 12, 7), QTime(10, 0) }; // the time every hand-off is recorded at
    std::optional<Failure> failure; // every copy fails so
};

/// The author's address kept in memory, asked by a window that answers as told.
class FakeSender final : public SenderSettings, public SenderDialog
{
public:
    std::optional<Sender> load() override { return kept; }
    std::optional<QString> save(const Sender &sender) override
    {
        kept = sender;
        return std::nullopt;
    }
    QString transportSender() override { return {}; }
    QString location() const override { return QStringLiteral("/home/u/.config/zelvora/sender"); }
    std::optional<Sender> ask(const Sender &offered,
                              const std::function<QString(const Sender &)> &problem) override
    {
        offers.append(offered);
        if (answer && !problem(*answer).isEmpty())
            return std::nullopt;
        return answer;
    }
    std::optional<Sender> kept, answer; // no answer: cancelled
    QList<Sender> offers;
};

/// Every fake, wired into one Services.
struct FakeServices
{
    FakeMessageBox messageBox;
    FakeLauncher launcher;
    FakeClock clock;
    FakeCommonDialog fontDialog;
    FakeShell shell;
    FakeMailHandler mail;
    FakeNotifier notifier;
    FakeSentCopies sentCopies;
    FakeSender sender;

    FakeServices() { mail.copies = &sentCopies; }
    FakeServices(const FakeServices &) = delete;

    Services services()
    {
        return { &messageBox, &launcher, &clock,      &fontDialog, &shell,
                 &mail,       &notifier, &sentCopies, &sender,     &sender };
    }
};
