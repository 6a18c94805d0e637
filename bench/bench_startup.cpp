// Start-up time of the real program on a private X display, from starting it to its main window
// being on the screen, less the five seconds the splash window holds it by design; beside the
// time a minimal Qt window takes to show, measured in the same run.
#include "xvfbserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

constexpr double SplashWait = 5.0;

XvfbServer *display = nullptr;
double minimalMean = 0.0;
double overheadMean = 0.0;

bool windowVisible(const QString &title)
{
    QProcess xdotool;
    xdotool.setProcessEnvironment(display->environment());
    xdotool.start(u"xdotool"_qs,
                  { u"search"_qs, u"--onlyvisible"_qs,
                    u"--name"_qs, title });
    xdotool.waitForFinished();
    return xdotool.exitCode() == 0 && !xdotool.readAllStandardOutput().trimmed().isEmpty();
}

// Seconds from starting the program until a window of that title is mapped; negative when it
// never comes.
double timeToShow(const QString &program, const QString &title)
{
    QProcess app;
    QProcessEnvironment env = display->environment();
    env.insert(u"LANG"_qs, u"ja_JP.UTF-8"_qs);
    app.setProcessEnvironment(env);
    app.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    app.start(program, {});
    double seconds = -1.0;
    while (app.state() != QProcess::NotRunning || timer.elapsed() < 1000) {
        if (windowVisible(title)) {
            seconds = timer.nsecsElapsed() / 1e9;
            break;
        }
        if (timer.elapsed() > 60000)
            break;
    }
    app.kill();
    app.waitForFinished();
    return seconds;
}

void measure(benchmark::State &state, const QString &program, const QString &title, double subtract,
             double &mean)
{
    double total = 0.0;
    int runs = 0;
    for (auto _ : state) {
        const double seconds = timeToShow(program, title);
        if (seconds < 0) {
            state.SkipWithError("the window did not appear");
            return;
        }
        state.SetIterationTime(seconds - subtract);
        total += seconds - subtract;
        ++runs;
    }
    mean = total / runs;
}

void BM_MinimalWindowShown(benchmark::State &state)
{
    measure(state, QStringLiteral(MINIMAL_WINDOW_BINARY), u"^Minimal$"_qs, 0.0,
            minimalMean);
}
BENCHMARK(BM_MinimalWindowShown)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_ZelvoraStartupOverhead(benchmark::State &state)
{
    measure(state, QStringLiteral(ZELVORA_BINARY), u"^Zelvora   Ver1\\.0$"_qs,
            SplashWait, overheadMean);
}
BENCHMARK(BM_ZelvoraStartupOverhead)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    XvfbServer xvfb;
    if (!xvfb.start()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    display = &xvfb;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (minimalMean > 0.0 && overheadMean > 0.0)
        std::printf("minimal Qt window shown after %.0f ms; Zelvora's main window after "
                    "%.0f ms plus the %.0f s splash wait; ratio %.2f (aim: at most 1.3)\n",
                    minimalMean * 1000, overheadMean * 1000, SplashWait,
                    overheadMean / minimalMean);
    return 0;
}
