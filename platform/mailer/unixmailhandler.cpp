#include "unixmailhandler.h"

#include "mimemessage.h"
#include "recipientaddress.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>
#include <csignal>
#include <limits>
#include <sys/types.h>
#include <unistd.h>

using namespace std::chrono_literals;

struct UnixMailHandler::State
{
    Options options;
    qint32 nextId = 1;
    QHash<qint32, QString> transports; // open sessions and the transport each found

    /// The transport of an open session; throws for a closed or unknown one.
    QString transportOf(qint32 id) const
    {
        const auto it = transports.constFind(id);
        if (it != transports.constEnd())
            return *it;
        if (id > 0 && id < nextId)
            throw Error {
                MapiError::NoValidSession,
                u"メールのセッションは既に閉じられています。もう一度送信してください。"_qs
            };
        if (id == 0)
            throw Error { MapiError::NoValidSession, u"メールのセッションが開かれていません。"_qs };
        throw Error { MapiError::InvalidSession,
                      u"メールのセッション番号 %1 は正しくありません。"_qs.arg(id) };
    }
};

namespace {

// sysexits: the transport could not resolve the recipient's user or host.
constexpr int ExNoUser = 67;
constexpr int ExNoHost = 68;

// One argument may hold at most 128 KiB, and xdg-email percent-encodes the body first.
constexpr qsizetype MaxClientBodyBytes = 32 * 1024;

QString findProgram(const QStringList &candidates)
{
    for (const QString &candidate : candidates) {
        if (candidate.contains(u'/')) {
            const QFileInfo info(candidate);
            if (info.isFile() && info.isExecutable())
                return info.absoluteFilePath();
        } else if (const QString path = QStandardPaths::findExecutable(candidate);
                   !path.isEmpty()) {
            return path;
        }
    }
    return {};
}

int remainingMs(const QDeadlineTimer &deadline)
{
    return int(std::clamp<qint64>(deadline.remainingTime(), 0, std::numeric_limits<int>::max()));
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
    return lines.isEmpty() ? QString() : u"\n"_qs + lines.join(u'\n');
}

struct TransportRun
{
    bool started = false;
    bool timedOut = false;
    bool crashed = false;
    int exitCode = 0;
    QString startError;
    QByteArray said; // standard error, or standard output when that was empty
};

// Runs the transport without a shell, writes the message while draining what it says, and
// kills it (with anything it started) when the time is up.
TransportRun runTransport(const QString &program, const QStringList &arguments,
                          const QByteArray &input, std::chrono::milliseconds limit)
{
    TransportRun run;
    const QDeadlineTimer deadline(limit);
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    process.start();
    if (!process.waitForStarted(remainingMs(deadline))) {
        run.startError = process.errorString();
        return run;
    }
    run.started = true;
    const qint64 pid = process.processId();

    // waitForBytesWritten() reads standard output and error while it waits, so a transport
    // that talks a lot while reading a large message cannot block us, nor we it.
    process.write(input);
    while (process.bytesToWrite() > 0 && process.state() == QProcess::Running) {
        if (!process.waitForBytesWritten(remainingMs(deadline)))
            break;
    }
    process.closeWriteChannel();
    if (!process.waitForFinished(remainingMs(deadline))
        && process.state() != QProcess::NotRunning) {
        run.timedOut = true;
        if (pid > 0)
            ::kill(pid_t(-pid), SIGKILL);
        process.kill();
        process.waitForFinished(5000);
    }
    run.crashed = process.exitStatus() == QProcess::CrashExit;
    run.exitCode = process.exitCode();
    run.said = process.readAllStandardError();
    if (run.said.trimmed().isEmpty())
        run.said = process.readAllStandardOutput();
    return run;
}

Error noTransport()
{
    return Error { MapiError::LoginFailure,
                   u"メールを送るためのメール転送プログラム（sendmail 互換）が見つかりません。"
                   u"msmtp-mta などのメール転送プログラムをインストールして設定してから、"
                   u"もう一度送信してください。"_qs };
}

void sendThroughTransport(const QString &transport, const MimeMessage::Fields &fields,
                          std::chrono::milliseconds limit)
{
    if (transport.isEmpty())
        throw noTransport();
    const QByteArray message = MimeMessage::build(fields);
    // -oi: a line holding only "." is text, not the end; --: the address is never an option.
    const TransportRun run
        = runTransport(transport, { u"-oi"_qs, u"--"_qs, fields.recipientAddress }, message, limit);
    const QString name = QFileInfo(transport).fileName();
    if (!run.started)
        throw Error { MapiError::Failure,
                      u"メール転送プログラム %1 を起動できませんでした（%2）。"
                      u"メールは送られていません。"_qs.arg(transport, run.startError) };
    const QString said = firstLines(run.said);
    if (run.timedOut)
        throw Error { MapiError::Failure,
                      u"メール転送プログラム %1 が %2 秒たっても終わらないため、止めました。"
                      u"メールは届いていない可能性があります。ネットワークと転送プログラムの設定を"
                      u"確かめてから、もう一度送信してください。"_qs.arg(name)
                              .arg(limit.count() / 1000.0)
                          + said };
    if (run.crashed)
        throw Error { MapiError::Failure,
                      u"メール転送プログラム %1 が異常終了しました。"
                      u"メールは届いていない可能性があります。"_qs.arg(name)
                          + said };
    if (run.exitCode == 0)
        return;
    if (run.exitCode == ExNoUser || run.exitCode == ExNoHost)
        throw Error { MapiError::UnknownRecipient,
                      u"宛先 %1 にはメールを届けられません（%2 の終了コード %3）。"
                      u"宛先メールアドレスが正しいか確かめてください。"_qs.arg(
                          fields.recipientAddress, name, QString::number(run.exitCode))
                          + said };
    throw Error { MapiError::Failure,
                  u"メール転送プログラム %1 がメールを送れませんでした（終了コード %2）。"
                  u"転送プログラムの設定とネットワークを確かめてから、もう一度送信してください。"_qs
                          .arg(name, QString::number(run.exitCode))
                      + said };
}

// Opens the mail client's compose window. xdg-email usually hands over at once; when it runs
// the client in the foreground instead, the client is left running with the user.
void openComposeWindow(const UnixMailHandler::Options &options, const MimeMessage::Fields &fields)
{
    const QString xdgEmail = findProgram(options.xdgEmailCandidates);
    if (xdgEmail.isEmpty())
        throw Error { MapiError::Failure,
                      u"メールソフトの作成画面を開く xdg-email が見つかりません。"
                      u"xdg-utils をインストールしてください。"_qs };
    if (fields.body.toUtf8().size() > MaxClientBodyBytes)
        throw Error { MapiError::TextTooLarge,
                      u"本文が長すぎるため、メールソフトに渡せません（%1 バイトまで）。"_qs.arg(
                          MaxClientBodyBytes) };

    QStringList arguments { u"--utf8"_qs };
    if (!fields.subject.isEmpty())
        arguments << u"--subject"_qs << fields.subject;
    if (!fields.body.isEmpty())
        arguments << u"--body"_qs << fields.body;
    arguments << RecipientAddress::mailbox(fields.recipientName, fields.recipientAddress);

    // Not deleted while it runs: deleting a QProcess kills it, and with it the user's draft.
    auto process = new QProcess;
    auto said = new QTemporaryFile(process);
    process->setProgram(xdgEmail);
    process->setArguments(arguments);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    // A file rather than a pipe: a client that outlives us must not die writing to a pipe
    // nobody reads.
    if (said->open())
        process->setStandardErrorFile(said->fileName());
    process->start();
    if (!process->waitForStarted(10000)) {
        const QString why = process->errorString();
        delete process;
        throw Error { MapiError::Failure,
                      u"%1 を起動できませんでした（%2）。"_qs.arg(xdgEmail, why) };
    }
    // The program holds the file open; its name is not needed any more, even if we quit first.
    ::unlink(QFile::encodeName(said->fileName()).constData());
    if (!process->waitForFinished(int(options.clientHandOff.count()))
        && process->state() != QProcess::NotRunning) {
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return;
    }
    const bool crashed = process->exitStatus() == QProcess::CrashExit;
    const int exitCode = process->exitCode();
    const QString lines = firstLines(said->readAll());
    delete process;
    if (!crashed && exitCode == 0)
        return;
    throw Error { MapiError::Failure,
                  u"メールソフトの作成画面を開けませんでした（xdg-email の終了コード %1）。"
                  u"既定のメールソフトが設定されているか確かめてください。"_qs.arg(
                      crashed ? u"-"_qs : QString::number(exitCode))
                      + lines };
}

class UnixMapiSession final : public MapiSession
{
public:
    explicit UnixMapiSession(std::shared_ptr<UnixMailHandler::State> state)
        : m_state(std::move(state))
    { }
    ~UnixMapiSession() override
    {
        if (m_id)
            m_state->transports.remove(m_id);
    }

    void signOn() override
    {
        if (m_id)
            return;
        // A desktop with a mail client but no transport can still open compose windows; the
        // missing transport is reported when a message is to go out directly.
        const QString transport = findProgram(m_state->options.sendmailCandidates);
        if (transport.isEmpty() && findProgram(m_state->options.xdgEmailCandidates).isEmpty())
            throw noTransport();
        m_id = m_state->nextId;
        m_state->nextId = m_id == std::numeric_limits<qint32>::max() ? 1 : m_id + 1;
        m_state->transports.insert(m_id, transport);
    }

    qint32 sessionId() const override
    {
        m_state->transportOf(m_id);
        return m_id;
    }

    void signOff() override
    {
        // Closing a session that never opened (its sign-on failed) closes nothing and is not
        // a second failure to report.
        if (!m_id)
            return;
        m_state->transports.remove(m_id);
        m_id = 0;
    }

private:
    std::shared_ptr<UnixMailHandler::State> m_state;
    qint32 m_id = 0;
};

class UnixMapiMessages final : public MapiMessages
{
public:
    explicit UnixMapiMessages(std::shared_ptr<UnixMailHandler::State> state)
        : m_state(std::move(state))
    { }

    void setSessionId(qint32 id) override { m_sessionId = id; }

    void compose() override
    {
        m_state->transportOf(m_sessionId);
        m_fields = {};
    }

    void setRecipDisplayName(const QString &name) override
    {
        m_state->transportOf(m_sessionId);
        m_fields.recipientName = name;
    }

    void setRecipAddress(const QString &address) override
    {
        m_state->transportOf(m_sessionId);
        m_fields.recipientAddress = address;
    }

    void setMsgSubject(const QString &subject) override
    {
        m_state->transportOf(m_sessionId);
        m_fields.subject = subject;
    }

    void setMsgNoteText(const QString &text) override
    {
        m_state->transportOf(m_sessionId);
        m_fields.body = text;
    }

    void send(bool withDialog) override
    {
        const QString transport = m_state->transportOf(m_sessionId);
        // Checked before any program starts: a bad address must never reach one.
        RecipientAddress::check(m_fields.recipientAddress);
        if (withDialog)
            openComposeWindow(m_state->options, m_fields);
        else
            sendThroughTransport(transport, m_fields, m_state->options.timeLimit);
    }

private:
    std::shared_ptr<UnixMailHandler::State> m_state;
    qint32 m_sessionId = 0;
    MimeMessage::Fields m_fields;
};

} // namespace

UnixMailHandler::Options UnixMailHandler::defaultOptions()
{
    return Options { { u"sendmail"_qs, u"/usr/sbin/sendmail"_qs, u"/usr/lib/sendmail"_qs },
                     { u"xdg-email"_qs },
                     2min,
                     5s };
}

UnixMailHandler::UnixMailHandler()
    : UnixMailHandler(defaultOptions())
{ }

UnixMailHandler::UnixMailHandler(Options options)
    : m_state(std::make_shared<State>())
{
    m_state->options = std::move(options);
}

UnixMailHandler::~UnixMailHandler() = default;

std::unique_ptr<MapiSession> UnixMailHandler::createSession()
{
    return std::make_unique<UnixMapiSession>(m_state);
}

std::unique_ptr<MapiMessages> UnixMailHandler::createMessages()
{
    return std::make_unique<UnixMapiMessages>(m_state);
}
