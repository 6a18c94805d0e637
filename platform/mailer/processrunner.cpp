#include "processrunner.h"

#include "handofferrors.h"
#include "mailhandler.h"

#include <QEventLoop>
#include <QProcess>
#include <QTemporaryFile>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <exception>
#include <thread>

#include <sys/mman.h>
#include <sys/types.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// The input as a file in memory rather than a pipe, so that afterwards the file's offset tells
// how much of it the program read.
class ProcessRunner::InputFile final
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
                throw MailErrors::noRoomForMessage(MapiError::DiskFull);
            written += n;
        }
        if (m_fd < 0 || ::lseek(m_fd, 0, SEEK_SET) != 0)
            throw MailErrors::noRoomForMessage(MapiError::InsufficientMemory);
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

void ProcessRunner::aside(const std::function<void()> &work)
{
    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

ProcessRunner::ProcessRunner(Job job)
    : m_job(std::move(job))
{ }

ProcessRunner::~ProcessRunner() = default;

ProcessRunner::Outcome ProcessRunner::run()
{
    if (m_job.program.isEmpty()) {
        m_outcome.how = Outcome::NotFound;
        return m_outcome;
    }
    if (m_job.input) {
        aside([this] { m_input = std::make_unique<InputFile>(*m_job.input); });
        if (m_stopped) { // cancelled meanwhile
            m_outcome.how = *m_stopped;
            m_outcome.tookAllInput = false;
            return m_outcome;
        }
    }
    QEventLoop loop;
    m_loop = &loop;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, this, [this] {
        if (m_job.leaveRunningAtLimit)
            end(Outcome::LeftRunning);
        else
            stop(Outcome::TimedOut);
    });
    startProcess();
    limit.start(m_job.limit);
    Q_EMIT started();
    if (m_running)
        loop.exec();
    m_loop = nullptr;
    collect();
    return m_outcome;
}

void ProcessRunner::cancel()
{
    if (m_running)
        stop(Outcome::Cancelled);
    else if (!m_process)
        m_stopped = Outcome::Cancelled;
}

void ProcessRunner::startProcess()
{
    // Not deleted while it runs: deleting a QProcess kills it, and a mail client left running
    // must keep the user's draft.
    m_process = new QProcess;
    m_process->setProgram(m_job.program);
    m_process->setArguments(m_job.arguments);
    m_process->setStandardInputFile(QProcess::nullDevice());
    const int inputFd = m_input ? m_input->fd() : -1;
    m_process->setChildProcessModifier([inputFd] {
        ::setpgid(0, 0);
        if (inputFd >= 0)
            ::dup2(inputFd, STDIN_FILENO);
    });
    // A program that may outlive us writes to a file, not to a pipe it could die writing to.
    if (m_job.leaveRunningAtLimit) {
        m_errors = std::make_unique<QTemporaryFile>();
        m_process->setStandardOutputFile(QProcess::nullDevice());
        if (m_errors->open())
            m_process->setStandardErrorFile(m_errors->fileName());
    }
    connect(m_process, &QProcess::readyReadStandardError, this,
            [this] { keep(QProcess::StandardError, m_outcome.said); });
    connect(m_process, &QProcess::readyReadStandardOutput, this,
            [this] { keep(QProcess::StandardOutput, m_out); });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            m_outcome.startError = m_process->errorString();
            end(Outcome::FailedToStart);
        }
    });
    connect(m_process, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        m_outcome.exitCode = code;
        end(m_stopped                           ? *m_stopped
                : status == QProcess::CrashExit ? Outcome::Crashed
                                                : Outcome::Exited);
    });
    m_running = true;
    m_process->start();
}

// Keeps the start of one output and drops the rest.
void ProcessRunner::keep(int channel, QByteArray &kept)
{
    m_process->setReadChannel(QProcess::ProcessChannel(channel));
    const QByteArray chunk = m_process->readAll();
    kept += chunk.left(std::max<qsizetype>(0, MaxKept - kept.size()));
}

void ProcessRunner::end(Outcome::How how)
{
    if (!m_running)
        return;
    m_running = false;
    m_outcome.how = how;
    if (m_loop)
        m_loop->quit();
}

// Kills the program with everything it started; the loop goes on until it has gone, so the
// windows keep repainting meanwhile.
void ProcessRunner::stop(Outcome::How how)
{
    if (m_stopped)
        return;
    m_stopped = how;
    if (const qint64 pid = m_process->processId(); pid > 0)
        ::kill(pid_t(-pid), SIGKILL);
    m_process->kill();
}

void ProcessRunner::collect()
{
    if (m_outcome.how == Outcome::LeftRunning) {
        m_process->disconnect(this);
        connect(m_process, &QProcess::finished, m_process, &QObject::deleteLater);
        m_process = nullptr;
        return;
    }
    keep(QProcess::StandardError, m_outcome.said);
    keep(QProcess::StandardOutput, m_out);
    if (m_errors)
        m_outcome.said = m_errors->read(MaxKept);
    if (m_outcome.said.trimmed().isEmpty())
        m_outcome.said = m_out;
    if (m_input)
        m_outcome.tookAllInput = m_input->readToTheEnd();
    delete m_process;
    m_process = nullptr;
}
