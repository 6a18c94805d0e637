// Building the message and handing it to the transport, for a 1 MiB and a 2 MiB document, with
// a transport that only reads its input. The work must grow no faster than the document: the
// 2 MiB send may take at most 2.2 times the 1 MiB one. Then the event loop, which repaints the
// windows, may pause at most 100 ms at a time (measured as the largest gap of a timer) while a
// 2 MiB document goes to a transport that reads 64 KiB every 10 ms, and while a 2 and a 20 MiB
// document go to the transport that only reads; the pause at 50 MiB is shown too.
#include "unixmailhandler.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <iomanip>
#include <iostream>
#include <map>

using namespace Qt::StringLiterals;

namespace {

constexpr double MaxRatio = 2.2;
constexpr qint64 MaxPauseMs = 100;

// Japanese lines with CR LF breaks, `mebibytes` MiB of UTF-8.
QString document(int mebibytes)
{
    const QString line = u"今日のメルマガは寒い朝の話題です。\r\n"_s; // 53 bytes
    const qsizetype target = qsizetype(mebibytes) << 20;
    QString body;
    while (body.size() * 3 < target)
        body += line;
    return body;
}

QTemporaryDir *transportDir;

void send(UnixMailHandler &handler, const QString &body)
{
    auto session = handler.createSession();
    auto messages = handler.createMessages();
    session->signOn();
    messages->setSessionId(session->sessionId());
    messages->compose();
    messages->setRecipDisplayName(u"山田 太郎"_s);
    messages->setRecipAddress(u"taro@example.jp"_s);
    messages->setMsgSubject(u"メルマガ配信"_s);
    messages->setMsgNoteText(body);
    messages->send(false);
    session->signOff();
}

void BM_SendDocument(benchmark::State &state)
{
    UnixMailHandler::Options options;
    options.sendmailCandidates = { transportDir->filePath(u"sendmail"_s) };
    UnixMailHandler handler(options);
    const QString body = document(int(state.range(0)));
    for (auto _ : state) {
        try {
            send(handler, body);
        } catch (const Error &error) {
            state.SkipWithError(error.description.toLocal8Bit().constData());
        }
    }
    state.SetBytesProcessed(state.iterations() * body.toUtf8().size());
}

// The longest gap between two ticks of a timer while a document of `mebibytes` MiB goes to the
// transport, in milliseconds.
qint64 longestPause(const QString &transport, int mebibytes, int tickMs)
{
    UnixMailHandler::Options options;
    options.sendmailCandidates = { transportDir->filePath(transport) };
    UnixMailHandler handler(options);
    const QString body = document(mebibytes);
    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    tick.start(tickMs);
    clock.start();
    send(handler, body);
    return std::max(longest, clock.elapsed() - last);
}

// Keeps the time per send of every size next to the usual console output.
class Recorder final : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                seconds[run.run_name.args] = run.real_accumulated_time / double(run.iterations);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

} // namespace

BENCHMARK(BM_SendDocument)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    // A transport that only reads, and one that reads 64 KiB every 10 ms.
    const std::pair<const char16_t *, QByteArray> transports[] = {
        { u"sendmail", "exec cat >/dev/null" },
        { u"slow-sendmail", "while [ \"$(head -c 65536 | wc -c)\" -gt 0 ]; do sleep 0.01; done" },
    };
    for (const auto &[name, script] : transports) {
        QFile file(dir.filePath(QString::fromUtf16(name)));
        if (!file.open(QIODevice::WriteOnly) || file.write("#!/bin/sh\n" + script + '\n') < 0
            || !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            return 2;
    }
    transportDir = &dir;

    benchmark::Initialize(&argc, argv);
    Recorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    benchmark::Shutdown();

    if (!recorder.seconds.count("1") || !recorder.seconds.count("2")) {
        std::cout << "mail send: a run failed" << std::endl;
        return 1;
    }
    const double one = recorder.seconds["1"], two = recorder.seconds["2"];
    const double ratio = two / one;
    std::cout << std::fixed << std::setprecision(2) << "mail send: 1 MiB " << one * 1e3
              << " ms, 2 MiB " << two * 1e3 << " ms, ratio " << ratio << " (limit " << MaxRatio
              << ") " << (ratio <= MaxRatio ? "OK" : "TOO SLOW") << std::endl;
    struct Pause
    {
        const char16_t *transport;
        int mebibytes;
        int tickMs;
        bool limited; // whether the limit applies, or the figure is only shown
    };
    const Pause pauses[] = { { u"slow-sendmail", 2, 5, true },
                             { u"sendmail", 2, 10, true },
                             { u"sendmail", 20, 10, true },
                             { u"sendmail", 50, 10, false } };
    bool paused = false;
    for (const Pause &p : pauses) {
        qint64 pause = 0;
        try {
            pause = longestPause(QString::fromUtf16(p.transport), p.mebibytes, p.tickMs);
        } catch (const Error &error) {
            std::cout << "mail send failed: " << error.description.toStdString() << std::endl;
            return 1;
        }
        const bool tooLong = p.limited && pause > MaxPauseMs;
        paused = paused || tooLong;
        std::cout << "event loop during a " << p.mebibytes << " MiB send to "
                  << QString::fromUtf16(p.transport).toStdString() << ": longest pause " << pause
                  << " ms (" << p.tickMs << " ms timer; limit "
                  << (p.limited ? std::to_string(MaxPauseMs) + " ms" : std::string("none")) << ") "
                  << (tooLong ? "TOO LONG" : "OK") << std::endl;
    }
    return ratio <= MaxRatio && !paused ? 0 : 1;
}
