// The marks in the document box with about 1 MiB loaded: showing it in the marked box (only the
// lines on the screen are marked at once) against the same box unmarked, classifying every line
// as the send button does, wrapping it all from the context menu, and the time from one typed
// character to the box painted again.
#include "textbox.h"
#include "textmarker.h"
#include "textmarks.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTextBlock>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>

using namespace Qt::StringLiterals;

namespace {

// About 1 MiB of UTF-8: Japanese lines of 20 to 60 columns, every tenth one past the guide,
// some with a circled number, halfwidth kana or a no-break space.
QString document()
{
    static const QString text = [] {
        const QString lines[] = {
            u"今日のメルマガは寒い朝の話題です。"_s,
            u"①まずはご挨拶から。いつもご愛読ありがとうございます。"_s,
            u"ﾊﾝｶｸのｶﾀｶﾅで書かれた古い原稿も\u00A0そのまま残っています。"_s,
            u"詳しくは https://www.example.jp/backnumber/ をご覧ください。"_s,
        };
        const QString longLine = u"長い行の例です。"_s.repeated(6);
        QString out;
        for (int i = 0, bytes = 0; bytes < 1024 * 1024; ++i) {
            const QString &line = i % 10 == 9 ? longLine : lines[i % 4];
            out += line + u"\r\n"_s;
            bytes += int(line.toUtf8().size()) + 2;
        }
        return out;
    }();
    return text;
}

void showIn(benchmark::State &state, bool marked)
{
    TextBox box(TextBox::Lines::Scrolling);
    if (marked)
        TextMarker::attach(&box);
    box.resize(441, 185);
    box.show();
    const QString text = document();
    for (auto _ : state) {
        box.setText(text);
        QCoreApplication::processEvents();
    }
    state.counters["bytes"] = double(text.toUtf8().size());
}

void BM_ShowMarked(benchmark::State &state)
{
    showIn(state, true);
}

void BM_ShowUnmarked(benchmark::State &state)
{
    showIn(state, false);
}

void BM_CountMarks(benchmark::State &state)
{
    const QString text = document();
    for (auto _ : state)
        benchmark::DoNotOptimize(TextMarks::summarize(text, TextMarks::DefaultGuide));
}

// All of it selected and wrapped as the context menu does, into one undo step; showing the
// document again between the rounds is not counted.
void BM_WrapAll(benchmark::State &state)
{
    TextBox box(TextBox::Lines::Scrolling);
    TextMarker *marker = TextMarker::attach(&box);
    box.resize(441, 185);
    box.show();
    const QString text = document();
    for (auto _ : state) {
        state.PauseTiming();
        box.setText(text);
        box.selectAll();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        marker->wrapSelection();
        QCoreApplication::processEvents();
    }
    state.counters["lines"] = double(box.document()->blockCount());
}

double threadCpuMs()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// One key press in the middle of the document, until the box has painted it: the median and
// the slowest of the presses are reported.
void typing(benchmark::State &state, bool marked)
{
    TextBox box(TextBox::Lines::Scrolling);
    if (marked)
        TextMarker::attach(&box);
    box.resize(441, 185);
    box.show();
    box.setText(document());
    QCoreApplication::processEvents();
    QTextCursor middle(box.document()->findBlockByNumber(box.document()->blockCount() / 2));
    box.setTextCursor(middle);
    box.setFocus();
    QCoreApplication::processEvents();
    // Wall time suffers from whatever else the machine runs; the thread's own CPU time does not.
    QList<double> wall, cpu;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadCpuMs();
        QTest::keyClick(&box, Qt::Key_A);
        QCoreApplication::processEvents();
        cpu << threadCpuMs() - cpuStart;
        wall << timer.nsecsElapsed() / 1e6;
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    state.counters["cpu_median_ms"] = cpu.value(cpu.size() / 2);
    state.counters["cpu_p99_ms"] = cpu.value(cpu.size() * 99 / 100);
    state.counters["wall_median_ms"] = wall.value(wall.size() / 2);
}

void BM_TypeMarked(benchmark::State &state)
{
    typing(state, true);
}

void BM_TypeUnmarked(benchmark::State &state)
{
    typing(state, false);
}

} // namespace

BENCHMARK(BM_ShowMarked)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ShowUnmarked)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CountMarks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WrapAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeMarked)->Unit(benchmark::kMicrosecond)->Iterations(1000);
BENCHMARK(BM_TypeUnmarked)->Unit(benchmark::kMicrosecond)->Iterations(1000);
