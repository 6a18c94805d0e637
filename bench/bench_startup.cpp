// Start-up time of the real program on a private X display, beside a minimal Qt window with one
// Japanese label in the same font, run in turns in the same session:
//  - first pixels: from starting the program until its first window (the splash) is mapped;
//  - the main window: until it is mapped, less the five seconds the splash holds it by design.
// Windows are seen through the display's own map events (xev on the root window), so watching
// costs the programs measured no processor time.
// Usage: bench_startup [rounds [program yardstick]], by default this build's program and yardstick
// (another build's program can be measured against the same yardstick).
#include "xvfbserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr double SplashWait = 5.0;
constexpr double Aim = 1.2;

/// Reports every top-level window mapped on the display.
class MapWatcher final
{
public:
    explicit MapWatcher(const XvfbServer &display)
    {
        m_xev.setProcessEnvironment(display.environment());
        m_xev.start(u"stdbuf"_s,
                    { u"-oL"_s, u"xev"_s, u"-root"_s, u"-event"_s, u"substructure"_s });
        m_xev.waitForStarted();
    }
    ~MapWatcher()
    {
        m_xev.kill();
        m_xev.waitForFinished();
    }
    /// Forgets the events seen so far.
    void clear()
    {
        m_xev.waitForReadyRead(100);
        m_xev.readAllStandardOutput();
    }
    /// Waits for the next window to be mapped; false after timeoutMs without one.
    bool nextMap(const QElapsedTimer &timer, qint64 timeoutMs)
    {
        while (timer.elapsed() < timeoutMs) {
            while (m_xev.canReadLine())
                if (m_xev.readLine().startsWith("MapNotify"))
                    return true;
            m_xev.waitForReadyRead(int(timeoutMs - timer.elapsed()));
        }
        return false;
    }

private:
    QProcess m_xev;
};

/// Seconds from starting program until its maps-th window is mapped; negative when it is not.
double timeToMap(const XvfbServer &display, MapWatcher &watcher, const QString &program, int maps)
{
    watcher.clear();
    QProcess app;
    QProcessEnvironment env = display.environment();
    env.insert(u"LANG"_s, u"ja_JP.UTF-8"_s);
    app.setProcessEnvironment(env);
    app.setStandardOutputFile(QProcess::nullDevice());
    app.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    app.start(program, {});
    double seconds = -1.0;
    int seen = 0;
    while (seen < maps && watcher.nextMap(timer, 60000))
        ++seen;
    if (seen == maps)
        seconds = timer.nsecsElapsed() / 1e9;
    app.kill();
    app.waitForFinished();
    return seconds;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 21;
    XvfbServer display;
    if (!display.start()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    MapWatcher watcher(display);
    const QStringList args = app.arguments();
    const QString zelvora = args.size() > 3 ? args[2] : QStringLiteral(ZELVORA_BINARY);
    const QString minimal = args.size() > 3 ? args[3] : QStringLiteral(MINIMAL_WINDOW_BINARY);

    // One start of each before measuring: the first start of a program reads it from the disk.
    timeToMap(display, watcher, minimal, 1);
    timeToMap(display, watcher, zelvora, 1);

    QList<double> minimalTimes, splashTimes, ratios;
    for (int i = 0; i < rounds; ++i) {
        // In turns, each first every other round, so that a busy moment hits both alike.
        const bool minimalFirst = i % 2 == 0;
        for (int j = 0; j < 2; ++j) {
            const bool isMinimal = (j == 0) == minimalFirst;
            const double t = timeToMap(display, watcher, isMinimal ? minimal : zelvora, 1);
            if (t < 0) {
                std::fprintf(stderr, "no window from %s\n",
                             qPrintable(isMinimal ? minimal : zelvora));
                return 1;
            }
            (isMinimal ? minimalTimes : splashTimes) << t;
        }
        ratios << splashTimes.last() / minimalTimes.last();
    }
    // The ratio of the two medians, and the median of each round's own ratio, which a load
    // that comes and goes over the whole run moves less.
    const double m = median(minimalTimes), s = median(splashTimes);
    std::printf("first pixels, median of %d runs each: minimal Qt window %.1f ms, Zelvora's "
                "splash %.1f ms; ratio %.2f, per round %.2f (aim: at most %.1f)\n",
                rounds, m * 1000, s * 1000, s / m, median(ratios), Aim);

    // The splash is the first window mapped, the main window the second.
    QList<double> mainTimes;
    for (int i = 0; i < 3; ++i)
        mainTimes << timeToMap(display, watcher, zelvora, 2) - SplashWait;
    std::printf("main window, median of 3 runs: %.1f ms plus the %.0f s splash wait\n",
                median(mainTimes) * 1000, SplashWait);
    return 0;
}
