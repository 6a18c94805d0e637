#include "unixmailhandler.h"

#include "mimemessage.h"
#include "recipientaddress.h"

#include "handoffmonitor.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <limits>
#include <optional>
#include <sys/mman.h>
#include <sys/types.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using namespace std::chrono_literals;

struct UnixMailHandler::State
{
    Options options;
    HandOffMonitor *monitor = nullptr;
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
                u"メールのセッションは既に閉じられています。もう一度送信してください。"_s
            };
        if (id == 0)
            throw Error { MapiError::NoValidSession, u"メールのセッションが開かれていません。"_s };
        throw Error { MapiError::InvalidSession,
                      u"メールのセッション番号 %1 は正しくありません。"_s.arg(id) };
    }
};

namespace {

// sysexits: the transport could not resolve the recipient's user or host.
constexpr int ExNoUser = 67;
constexpr int ExNoHost = 68;
// sysexits: the transport's configuration is missing or wrong.
constexpr int ExConfig = 78;

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

// What one hand-off came to.
struct Outcome
{
    enum How { Exited, FailedToStart, Crashed, Cancelled, TimedOut, LeftRunning } how = Exited;
    int exitCode = 0;
    QString startError;
    QByteArray said; // the start of standard error, or of standard output when that was empty
    bool tookAllInput = true;
};

// Keeps the first MaxSaid bytes a program writes to one of its outputs and drops the rest, so
// a program that talks without end costs no memory.
constexpr qsizetype MaxSaid = 64 * 1024;

void keepSaid(QProcess &process, QProcess::ProcessChannel channel, QByteArray &kept)
{
    process.setReadChannel(channel);
    const QByteArray chunk = process.readAll();
    kept += chunk.left(std::max<qsizetype>(0, MaxSaid - kept.size()));
}

// The message as the transport's standard input: a file in memory rather than a pipe, so that
// afterwards the file's offset tells how much of it the transport read.
class InputFile final
{
public:
    explicit InputFile(const QByteArray &content)
        : m_fd(::memfd_create("zelvora-message", MFD_CLOEXEC))
        , m_size(content.size())
    {
        qsizetype written = 0;
        while (m_fd >= 0 && written < content.size()) {
            const ssize_t n
                = ::write(m_fd, content.constData() + written, size_t(content.size() - written));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                throw Error { MapiError::DiskFull,
                              u"送信するメッセージを一時的に置く場所がありません。"_s };
            written += n;
        }
        if (m_fd < 0 || ::lseek(m_fd, 0, SEEK_SET) != 0)
            throw Error { MapiError::InsufficientMemory,
                          u"送信するメッセージを一時的に置く場所がありません。"_s };
    }
    ~InputFile() { ::close(m_fd); }
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    int fd() const { return m_fd; }
    /// True when whoever has the file open has read it to its end.
    bool readToTheEnd() const { return ::lseek(m_fd, 0, SEEK_CUR) >= m_size; }

private:
    int m_fd;
    qint64 m_size;
};

struct HandOff
{
    QString program;
    QStringList arguments;
    const InputFile *input = nullptr; // none: standard input is empty
    std::chrono::milliseconds limit;
    bool leaveRunningAtLimit = false; // a mail client that xdg-email keeps in the foreground
    QString message; // what the monitor tells the user
};

// Runs a helper program in a process group of its own while the event loop goes on: the windows
// repaint, the monitor refuses the user's input and offers to cancel. A cancelled program, or one
// still running at the limit, is stopped with everything it started.
Outcome run(const HandOff &handOff, HandOffMonitor *monitor)
{
    Outcome outcome;
    // Not deleted while it runs: deleting a QProcess kills it, and a mail client left running
    // must keep the user's draft.
    auto process = new QProcess;
    process->setProgram(handOff.program);
    process->setArguments(handOff.arguments);
    process->setStandardInputFile(QProcess::nullDevice());
    const int inputFd = handOff.input ? handOff.input->fd() : -1;
    process->setChildProcessModifier([inputFd] {
        ::setpgid(0, 0);
        if (inputFd >= 0)
            ::dup2(inputFd, STDIN_FILENO);
    });

    // A program that may outlive us writes to a file, not to a pipe it could die writing to.
    QTemporaryFile errors;
    if (handOff.leaveRunningAtLimit) {
        process->setStandardOutputFile(QProcess::nullDevice());
        if (errors.open())
            process->setStandardErrorFile(errors.fileName());
    }

    QEventLoop loop;
    bool running = true;
    const auto end = [&](Outcome::How how) {
        if (!running)
            return;
        running = false;
        outcome.how = how;
        loop.quit();
    };
    // Kills the program with everything it started; the loop goes on until it has gone, so the
    // windows keep repainting meanwhile.
    std::optional<Outcome::How> stopped;
    const auto stop = [&](Outcome::How how) {
        if (stopped)
            return;
        stopped = how;
        if (const qint64 pid = process->processId(); pid > 0)
            ::kill(pid_t(-pid), SIGKILL);
        process->kill();
    };
    QObject::connect(process, &QProcess::readyReadStandardError, &loop,
                     [&] { keepSaid(*process, QProcess::StandardError, outcome.said); });
    QByteArray out;
    QObject::connect(process, &QProcess::readyReadStandardOutput, &loop,
                     [&] { keepSaid(*process, QProcess::StandardOutput, out); });
    QObject::connect(process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            outcome.startError = process->errorString();
            end(Outcome::FailedToStart);
        }
    });
    QObject::connect(process, &QProcess::finished, &loop,
                     [&](int code, QProcess::ExitStatus status) {
                         outcome.exitCode = code;
                         end(stopped                             ? *stopped
                                 : status == QProcess::CrashExit ? Outcome::Crashed
                                                                 : Outcome::Exited);
                     });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        if (handOff.leaveRunningAtLimit)
            end(Outcome::LeftRunning);
        else
            stop(Outcome::TimedOut);
    });

    process->start();
    limit.start(handOff.limit);
    if (monitor)
        monitor->started(handOff.message, [&] {
            if (running)
                stop(Outcome::Cancelled);
        });
    if (running)
        loop.exec();
    if (monitor)
        monitor->finished();

    if (outcome.how == Outcome::LeftRunning) {
        QObject::disconnect(process, nullptr, &loop, nullptr);
        process->setParent(nullptr);
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return outcome;
    }
    keepSaid(*process, QProcess::StandardError, outcome.said);
    keepSaid(*process, QProcess::StandardOutput, out);
    if (handOff.leaveRunningAtLimit)
        outcome.said = errors.read(MaxSaid);
    if (outcome.said.trimmed().isEmpty())
        outcome.said = out;
    if (handOff.input)
        outcome.tookAllInput = handOff.input->readToTheEnd();
    delete process;
    return outcome;
}

Error noTransport()
{
    return Error { MapiError::LoginFailure,
                   u"メールを送るためのメール転送プログラム（sendmail 互換）が見つかりません。"
                   u"msmtp-mta などのメール転送プログラムをインストールして設定してから、"
                   u"もう一度送信してください（README の「メールの設定」を参照）。"_s };
}

Error cancelled()
{
    return Error { MapiError::UserAbort,
                   u"メールの送信を取り消しました。メールは送られていない可能性があります。"_s };
}

// What the user is told to set up when the transport finds no configuration.
QString setUpHint(const QString &transport)
{
    const QString program = QFileInfo(QFileInfo(transport).canonicalFilePath()).fileName();
    if (program.startsWith(u"msmtp"_s))
        return u"msmtp の設定ファイル ~/.msmtprc を作ってください"_s;
    return u"%1 の設定を確かめてください"_s.arg(program.isEmpty() ? transport : program);
}

void sendThroughTransport(const QString &transport, const MimeMessage::Fields &fields,
                          std::chrono::milliseconds limit, HandOffMonitor *monitor)
{
    if (transport.isEmpty())
        throw noTransport();
    const InputFile message(MimeMessage::build(fields));
    // -oi: a line holding only "." is text, not the end; --: the address is never an option.
    const Outcome outcome = run({ transport,
                                  { u"-oi"_s, u"--"_s, fields.recipientAddress },
                                  &message,
                                  limit,
                                  false,
                                  u"メールを送信しています…"_s },
                                monitor);
    const QString name = QFileInfo(transport).fileName();
    const QString said = firstLines(outcome.said);
    switch (outcome.how) {
    case Outcome::FailedToStart:
        throw Error { MapiError::Failure,
                      u"メール転送プログラム %1 を起動できませんでした（%2）。"
                      u"メールは送られていません。"_s.arg(transport, outcome.startError) };
    case Outcome::Cancelled:
        throw cancelled();
    case Outcome::TimedOut:
    case Outcome::LeftRunning:
        throw Error { MapiError::Failure,
                      u"メール転送プログラム %1 が %2 秒たっても終わらないため、止めました。"
                      u"メールは届いていない可能性があります。ネットワークと転送プログラムの設定を"
                      u"確かめてから、もう一度送信してください。"_s.arg(name)
                              .arg(limit.count() / 1000.0)
                          + said };
    case Outcome::Crashed:
        throw Error { MapiError::Failure,
                      u"メール転送プログラム %1 が異常終了しました。"
                      u"メールは届いていない可能性があります。"_s.arg(name)
                          + said };
    case Outcome::Exited:
        break;
    }
    const QString code = QString::number(outcome.exitCode);
    switch (outcome.exitCode) {
    case 0:
        if (outcome.tookAllInput)
            return;
        // A transport that stops reading and still says "sent" has not sent this message.
        throw Error { MapiError::Failure,
                      u"メール転送プログラム %1 がメッセージを最後まで受け取らずに終わりました。"
                      u"メールは正しく届いていない可能性があります。"_s.arg(name)
                          + firstLines(outcome.said) };
    case ExNoUser:
    case ExNoHost:
        throw Error { MapiError::UnknownRecipient,
                      u"宛先 %1 にはメールを届けられません（%2 の終了コード %3）。"
                      u"宛先メールアドレスが正しいか確かめてください。"_s.arg(
                          fields.recipientAddress, name, code)
                          + said };
    case ExConfig:
        throw Error { MapiError::Failure,
                      u"メール転送プログラム %1 の設定がされていないか、正しくありません"
                      u"（終了コード %2）。%3（README の「メールの設定」を参照）。"
                      u"メールは送られていません。"_s.arg(name, code, setUpHint(transport))
                          + said };
    default:
        throw Error {
            MapiError::Failure,
            u"メール転送プログラム %1 がメールを送れませんでした（終了コード %2）。"
            u"転送プログラムの設定とネットワークを確かめてから、もう一度送信してください。"_s.arg(
                name, code)
                + (outcome.tookAllInput
                       ? QString()
                       : u"\n転送プログラムはメッセージを最後まで受け取っていません。"_s)
                + said
        };
    }
}

// Opens the mail client's compose window. xdg-email usually hands over at once; when it runs
// the client in the foreground instead, the client is left running with the user.
void openComposeWindow(const UnixMailHandler::Options &options, const MimeMessage::Fields &fields,
                       HandOffMonitor *monitor)
{
    const QString xdgEmail = findProgram(options.xdgEmailCandidates);
    if (xdgEmail.isEmpty())
        throw Error { MapiError::Failure,
                      u"メールソフトの作成画面を開く xdg-email が見つかりません。"
                      u"xdg-utils をインストールしてください。"_s };
    if (fields.body.toUtf8().size() > MaxClientBodyBytes)
        throw Error { MapiError::TextTooLarge,
                      u"本文が長すぎるため、メールソフトに渡せません（%1 バイトまで）。"_s.arg(
                          MaxClientBodyBytes) };

    QStringList arguments { u"--utf8"_s };
    if (!fields.subject.isEmpty())
        arguments << u"--subject"_s << fields.subject;
    if (!fields.body.isEmpty())
        arguments << u"--body"_s << fields.body;
    arguments << RecipientAddress::mailbox(fields.recipientName, fields.recipientAddress);

    const Outcome outcome = run({ xdgEmail, arguments, nullptr, options.clientHandOff, true,
                                  u"メールソフトの作成画面を開いています…"_s },
                                monitor);
    switch (outcome.how) {
    case Outcome::LeftRunning:
        return;
    case Outcome::Cancelled:
        throw cancelled();
    case Outcome::FailedToStart:
        throw Error { MapiError::Failure,
                      u"%1 を起動できませんでした（%2）。"_s.arg(xdgEmail, outcome.startError) };
    default:
        if (outcome.how == Outcome::Exited && outcome.exitCode == 0)
            return;
        throw Error { MapiError::Failure,
                      u"メールソフトの作成画面を開けませんでした（xdg-email の終了コード %1）。"
                      u"既定のメールソフトが設定されているか確かめてください。"_s.arg(
                          outcome.how == Outcome::Exited ? QString::number(outcome.exitCode)
                                                         : u"-"_s)
                          + firstLines(outcome.said) };
    }
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
            openComposeWindow(m_state->options, m_fields, m_state->monitor);
        else
            sendThroughTransport(transport, m_fields, m_state->options.timeLimit, m_state->monitor);
    }

private:
    std::shared_ptr<UnixMailHandler::State> m_state;
    qint32 m_sessionId = 0;
    MimeMessage::Fields m_fields;
};

} // namespace

UnixMailHandler::Options UnixMailHandler::defaultOptions()
{
    return Options { { u"sendmail"_s, u"/usr/sbin/sendmail"_s, u"/usr/lib/sendmail"_s },
                     { u"xdg-email"_s },
                     2min,
                     5s };
}

UnixMailHandler::UnixMailHandler(Options options, HandOffMonitor *monitor)
    : m_state(std::make_shared<State>())
{
    m_state->options = std::move(options);
    m_state->monitor = monitor;
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
