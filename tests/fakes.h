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
#include <QStringList>
#include <exception>

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
    int ask(const QString &question, const QStringList &buttons, int defaultButton,
            int escapeButton) override
    {
        asked.append({ question, buttons, defaultButton, escapeButton });
        return answers.isEmpty() ? escapeButton : answers.takeFirst();
    }
    struct Asked
    {
        QString question;
        QStringList buttons;
        int defaultButton;
        int escapeButton;
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
    FontChoice choice { QStringLiteral("IPAPGothic") };

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

/// A mail handler whose controls take everything, send nothing and record the texts handed off;
/// the tests of sending use the real one with stand-in transports.
class FakeMailHandler final : public MailHandler
{
    struct Control final : MapiSession, MapiMessages
    {
        void signOn() override { }
        qint32 sessionId() const override { return 7; }
        void signOff() override { }
        void setSessionId(qint32) override { }
        void compose() override { }
        void setRecipDisplayName(const QString &) override { }
        void setRecipAddress(const QString &) override { }
        void setMsgSubject(const QString &) override { }
        void setMsgNoteText(const QString &text) override { note = text; }
        void send(bool) override { handedOff->append(note); }
        QString note;
        QStringList *handedOff = nullptr;
    };

public:
    std::unique_ptr<MapiSession> createSession() override { return std::make_unique<Control>(); }
    std::unique_ptr<MapiMessages> createMessages() override
    {
        auto messages = std::make_unique<Control>();
        messages->handedOff = &handedOff;
        return messages;
    }
    QStringList handedOff;
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
