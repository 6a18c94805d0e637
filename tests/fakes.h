// Fakes of the platform services that record what the windows ask of them.
#pragma once

#include "clock.h"
#include "commondialog.h"
#include "fontdialog.h"
#include "launcher.h"
#include "mapi.h"
#include "messagebox.h"
#include "services.h"
#include "shell.h"

#include <QList>
#include <QMap>
#include <QStringList>
#include <exception>
#include <functional>

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
    QDate currentDate() const override { return QDate(2001, 5, 12); }
    double seconds() const override
    {
        ++reads;
        return readings.size() > 1 ? readings.takeFirst() : readings.value(0);
    }
    mutable QList<double> readings;
    mutable int reads = 0;
};

/// A font dialog that hands back preset values.
class FakeCommonDialog final : public CommonDialog
{
public:
    void setFlags(qint32 f) override { m_flags = f; }
    qint32 flags() const override { return m_flags; }
    void showFont() override { ++shown; }
    QString fontName() const override { return choice.name; }
    float fontSize() const override { return choice.size; }
    bool fontBold() const override { return choice.bold; }
    bool fontItalic() const override { return choice.italic; }
    bool fontStrikethru() const override { return choice.strikethru; }
    bool fontUnderline() const override { return choice.underline; }
    quint32 color() const override { return choice.colour; }

    int shown = 0;
    FontChoice choice { u"IPAPGothic"_qs };

private:
    qint32 m_flags = 0;
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

/// A mail handler whose controls write every operation, with its value, into one shared log
/// ("SignOn", "SessionID", "SetSessionID=7", "RecipAddress=a@b", "Send(False)", ...). An
/// operation named in failures throws what is stored there; with failOnce only the first time.
class FakeMailHandler final : public MailHandler
{
public:
    QStringList log;
    QMap<QString, std::exception_ptr> failures;
    bool failOnce = false;

    void step(const QString &entry)
    {
        log << entry;
        const auto it = failures.find(entry.section(u'=', 0, 0));
        if (it == failures.end())
            return;
        const std::exception_ptr failure = *it;
        if (failOnce)
            failures.erase(it);
        std::rethrow_exception(failure);
    }

    // One control class for both kinds: each writes to the handler's log.
    struct Control final : MapiSession, MapiMessages
    {
        explicit Control(FakeMailHandler *handler)
            : h(handler)
        { }
        FakeMailHandler *h;
        void signOn() override { h->step(u"SignOn"_qs); }
        qint32 sessionId() const override { return h->step(u"SessionID"_qs), 7; }
        void signOff() override { h->step(u"SignOff"_qs); }
        void setSessionId(qint32 id) override { h->step(u"SetSessionID=%1"_qs.arg(id)); }
        void compose() override { h->step(u"Compose"_qs); }
        void setRecipDisplayName(const QString &n) override
        {
            h->step(u"RecipDisplayName="_qs + n);
        }
        void setRecipAddress(const QString &a) override { h->step(u"RecipAddress="_qs + a); }
        void setMsgSubject(const QString &s) override { h->step(u"MsgSubject="_qs + s); }
        void setMsgNoteText(const QString &t) override { h->step(u"MsgNoteText="_qs + t); }
        void send(bool dialog) override { h->step(dialog ? u"Send(True)"_qs : u"Send(False)"_qs); }
    };
    std::unique_ptr<MapiSession> createSession() override
    {
        return std::make_unique<Control>(this);
    }
    std::unique_ptr<MapiMessages> createMessages() override
    {
        return std::make_unique<Control>(this);
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

    Services services() { return { &messageBox, &launcher, &clock, &fontDialog, &shell, &mail }; }
};
