// Fakes of the platform services that record what the windows ask of them.
#pragma once

#include "mapi.h"
#include "clock.h"
#include "commondialog.h"
#include "launcher.h"
#include "messagebox.h"
#include "services.h"
#include "shell.h"

#include <QList>
#include <QMap>
#include <QStringList>
#include <functional>
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
        if (onShow)
            onShow();
        return Ok;
    }
    QList<Shown> shown;
    std::function<void()> onShow; // runs while the box is "open"
};

class FakeLauncher final : public Launcher
{
public:
    qint64 start(const QString &commandLine, int windowStyle) override
    {
        started.append({ commandLine, windowStyle });
        if (failure)
            throw *failure;
        return 4242;
    }
    QList<std::pair<QString, int>> started;
    std::optional<Error> failure;
};

/// A clock that reads out a script of seconds, then keeps returning the last one.
class FakeClock final : public Clock
{
public:
    QDate currentDate() const override { return date; }
    double seconds() const override
    {
        ++reads;
        if (readings.isEmpty())
            return 0.0;
        return readings.size() > 1 ? readings.takeFirst() : readings.first();
    }
    QDate date { 2001, 5, 12 };
    mutable QList<double> readings;
    mutable int reads = 0;
};

/// A font dialog that logs every operation and hands back preset values.
class FakeCommonDialog final : public CommonDialog
{
public:
    void setFlags(qint32 f) override { log << u"Flags=%1"_qs.arg(f), m_flags = f; }
    qint32 flags() const override { return m_flags; }
    void showFont() override { log << u"ShowFont"_qs; }
    QString fontName() const override { return log << u"FontName"_qs, name; }
    float fontSize() const override { return log << u"FontSize"_qs, size; }
    bool fontBold() const override { return log << u"FontBold"_qs, bold; }
    bool fontItalic() const override { return log << u"FontItalic"_qs, italic; }
    bool fontStrikethru() const override { return log << u"FontStrikethru"_qs, strikethru; }
    bool fontUnderline() const override { return log << u"FontUnderline"_qs, underline; }
    quint32 color() const override { return log << u"Color"_qs, colour; }

    mutable QStringList log;
    QString name = u"IPAPGothic"_qs;
    float size = 9.0f;
    bool bold = false, italic = false, strikethru = false, underline = false;
    quint32 colour = 0;

private:
    qint32 m_flags = 0;
};

class FakeShell final : public Shell
{
public:
    struct Call
    {
        WId window;
        QByteArray operation, file, parameters, directory;
        qint32 showCommand;
    };
    qintptr shellExecute(WId window, const QByteArray &operation, const QByteArray &file,
                         const QByteArray &parameters, const QByteArray &directory,
                         qint32 showCommand) override
    {
        calls.append({ window, operation, file, parameters, directory, showCommand });
        return 42;
    }
    QList<Call> calls;
};

/// A mail handler whose controls write every operation, with its value, into one shared log
/// ("SignOn", "SessionID=7", "RecipAddress=a@b", "Send(False)", ...). An operation named in
/// failures throws that error; with failOnce it throws only the first time.
class FakeMailHandler final : public MailHandler
{
public:
    QStringList log;
    QMap<QString, Error> failures;
    bool failOnce = false;

    void step(const QString &entry)
    {
        log << entry;
        const QString op = entry.section(u'=', 0, 0);
        auto it = failures.find(op);
        if (it != failures.end()) {
            const Error error = *it;
            if (failOnce)
                failures.erase(it);
            throw error;
        }
    }

    std::unique_ptr<MapiSession> createSession() override
    {
        class Session final : public MapiSession
        {
        public:
            explicit Session(FakeMailHandler *h)
                : m_h(h)
            { }
            void signOn() override { m_h->step(u"SignOn"_qs); }
            qint32 sessionId() const override { return m_h->step(u"SessionID"_qs), 7; }
            void signOff() override { m_h->step(u"SignOff"_qs); }

        private:
            FakeMailHandler *m_h;
        };
        return std::make_unique<Session>(this);
    }
    std::unique_ptr<MapiMessages> createMessages() override
    {
        class Messages final : public MapiMessages
        {
        public:
            explicit Messages(FakeMailHandler *h)
                : m_h(h)
            { }
            void setSessionId(qint32 id) override { m_h->step(u"SetSessionID=%1"_qs.arg(id)); }
            void compose() override { m_h->step(u"Compose"_qs); }
            void setRecipDisplayName(const QString &n) override
            {
                m_h->step(u"RecipDisplayName="_qs + n);
            }
            void setRecipAddress(const QString &a) override { m_h->step(u"RecipAddress="_qs + a); }
            void setMsgSubject(const QString &s) override { m_h->step(u"MsgSubject="_qs + s); }
            void setMsgNoteText(const QString &t) override { m_h->step(u"MsgNoteText="_qs + t); }
            void send(bool dialog) override
            {
                m_h->step(dialog ? u"Send(True)"_qs : u"Send(False)"_qs);
            }

        private:
            FakeMailHandler *m_h;
        };
        return std::make_unique<Messages>(this);
    }
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

    Services services()
    {
        Services s;
        s.messageBox = &messageBox;
        s.launcher = &launcher;
        s.clock = &clock;
        s.fontDialog = &fontDialog;
        s.shell = &shell;
        s.mail = &mail;
        return s;
    }
};
