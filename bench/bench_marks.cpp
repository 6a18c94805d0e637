// The marks with about 1 MiB loaded: showing it in the marked document box (only the lines on the
// screen are marked) against the same box unmarked, classifying every line as the send button
// does, wrapping it all from the context menu, and, with the document box and the body box both
// holding it, the time from one typed character, or one step of the input method's composition,
// to the window painted again: the median and the 99th percentile, marked and unmarked.
#include "textbox.h"
#include "textmarker.h"
#include "textmarks.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QInputMethodEvent>
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

enum class Input {
    Key, // one key press
    Composing, // the input method's reading grows by a kana, underlined, and every fourth step
               // is committed as kanji
};

void step(TextBox &box, Input input, int n)
{
    if (input == Input::Key) {
        QTest::keyClick(&box, Qt::Key_A);
        return;
    }
    QTextCharFormat underline;
    underline.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    const QString reading = u"かんじ"_s.first(n % 4 == 3 ? 0 : n % 4 + 1);
    QInputMethodEvent event(reading,
                            { { QInputMethodEvent::TextFormat, 0, int(reading.size()), underline },
                              { QInputMethodEvent::Cursor, int(reading.size()), 1, {} } });
    if (reading.isEmpty())
        event.setCommitString(u"漢字"_s);
    QApplication::sendEvent(&box, &event);
}

// The main window's two marked boxes, both holding the document: the typing goes into the
// document box, at the end of a line past the guide in the middle of it.
void typing(benchmark::State &state, bool marked, Input input)
{
    QWidget window;
    TextBox documentBox(TextBox::Lines::Scrolling, &window),
        body(TextBox::Lines::Scrolling, &window);
    QPalette yellowOnBlack = body.palette();
    yellowOnBlack.setColor(QPalette::Base, Qt::black);
    yellowOnBlack.setColor(QPalette::Text, Qt::yellow);
    body.setPalette(yellowOnBlack);
    body.setGeometry(16, 232, 561, 97);
    documentBox.setGeometry(16, 384, 441, 185);
    for (TextBox *box : { &documentBox, &body }) {
        if (marked)
            TextMarker::attach(box);
        box->setText(document());
    }
    window.resize(687, 576);
    window.show();
    QCoreApplication::processEvents();
    QTextCursor middle(documentBox.document()->findBlockByNumber(
        documentBox.document()->blockCount() / 20 * 10 + 9));
    middle.movePosition(QTextCursor::EndOfBlock);
    documentBox.setTextCursor(middle);
    documentBox.ensureCursorVisible();
    documentBox.setFocus();
    QCoreApplication::processEvents();
    // Wall time suffers from whatever else the machine runs; the thread's own CPU time does not.
    QList<double> wall, cpu;
    int n = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadCpuMs();
        step(documentBox, input, n++);
        QCoreApplication::processEvents();
        cpu << threadCpuMs() - cpuStart;
        wall << timer.nsecsElapsed() / 1e6;
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    state.counters["cpu_p50_ms"] = cpu.value(cpu.size() / 2);
    state.counters["cpu_p99_ms"] = cpu.value(cpu.size() * 99 / 100);
    state.counters["wall_p50_ms"] = wall.value(wall.size() / 2);
    state.counters["wall_p99_ms"] = wall.value(wall.size() * 99 / 100);
}

void BM_TypeMarked(benchmark::State &state)
{
    typing(state, true, Input::Key);
}

void BM_TypeUnmarked(benchmark::State &state)
{
    typing(state, false, Input::Key);
}

void BM_ComposeMarked(benchmark::State &state)
{
    typing(state, true, Input::Composing);
}

void BM_ComposeUnmarked(benchmark::State &state)
{
    typing(state, false, Input::Composing);
}

} // namespace

BENCHMARK(BM_ShowMarked)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ShowUnmarked)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CountMarks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WrapAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeMarked)->Unit(benchmark::kMicrosecond)->Iterations(1000);
BENCHMARK(BM_TypeUnmarked)->Unit(benchmark::kMicrosecond)->Iterations(1000);
BENCHMARK(BM_ComposeMarked)->Unit(benchmark::kMicrosecond)->Iterations(1000);
BENCHMARK(BM_ComposeUnmarked)->Unit(benchmark::kMicrosecond)->Iterations(1000);
