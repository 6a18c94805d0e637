// Runs one helper program of the mail handler (the transport, xdg-email) while the event loop
// goes on, so the windows keep repainting. The program runs in a process group of its own, so
// that stopping it (cancel, the time limit) also stops everything it started. Its standard input
// is a message held in a file in memory, so that afterwards the runner can tell whether the
// program read all of it. Callers learn how the run ended from run()'s value and the started()
// signal; the process itself stays inside.
#pragma once

#include "handoffend.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QEventLoop;
class QProcess;
class QTemporaryFile;

class ProcessRunner final : public QObject
{
    Q_OBJECT
public:
    /// The most the runner keeps of each of the program's outputs; the rest is read and dropped,
    /// so a program that talks without end costs no memory.
    static constexpr qsizetype MaxKept = 64 * 1024;

    /// What to run.
    struct Job
    {
        /// The program's path; empty when none was found (the run then ends as NotFound).
        QString program;
        QStringList arguments;
        /// The bytes handed to the program as its standard input; none: it reads nothing.
        std::optional<QByteArray> input;
        /// How long the program may run.
        std::chrono::milliseconds limit { 0 };
        /// At the limit, leave the program running (a mail client xdg-email keeps in the
        /// foreground, with the user's draft) instead of stopping it.
        bool leaveRunningAtLimit = false;
    };

    /// How a run ended; at most MaxKept bytes of what the program said.
    using Outcome = HandOffEnd;

    /// Runs work on a thread of its own while the event loop goes on, so that a long task (a
    /// large message) does not stop the windows; rethrows what work threw.
    static void aside(const std::function<void()> &work);

    explicit ProcessRunner(Job job);
    ~ProcessRunner() override;

    /// Puts the input in memory aside(), starts the program and runs the event loop until the
    /// run is over. Throws Error when the input cannot be held in memory (nothing is started).
    Outcome run();
    /// Stops the running program with everything it started; run() then ends as Cancelled.
    /// Called while the input is put in memory, the program is never started. Does nothing once
    /// the run is over.
    void cancel();

Q_SIGNALS:
    /// The program has been started and run() waits for it: cancel() may be called from now on.
    void started();

private:
    class InputFile;

    void startProcess();
    void keep(int channel, QByteArray &kept);
    void end(Outcome::How how);
    void stop(Outcome::How how);
    void collect();

    Job m_job;
    Outcome m_outcome;
    QByteArray m_out;
    QProcess *m_process = nullptr;
    QEventLoop *m_loop = nullptr;
    std::unique_ptr<InputFile> m_input;
    std::unique_ptr<QTemporaryFile> m_errors;
    bool m_running = false;
    std::optional<Outcome::How> m_stopped;
};
