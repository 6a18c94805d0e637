// Keeping the session of a window whose document box holds 1 MiB of Japanese: reading the
// fields, writing the file's bytes, and writing them to disk through the session store (a
// temporary file, flushed and renamed). The whole must stay under 20 ms: it runs on the event
// loop two seconds after a change, between keystrokes.
#include "fakes.h"
#include "filesessionstore.h"
#include "form1.h"
#include "roles.h"
#include "sessionkeeper.h"
#include "textbox.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// About 1 MiB of UTF-8 Japanese in 20,000 lines.
QString japaneseDocument()
{
    QString document;
    for (int i = 0; i < 20000; ++i)
        document += u"今日のメルマガは寒い朝の話題です。\r\n"_s; // 17 characters, 51 bytes
    return document;
}

struct Window
{
    FakeServices fakes;
    Form1 form { fakes.services(), nullptr };
    QTemporaryDir folder;
    FileSessionStore store { folder.path() };
    SessionKeeper keeper { form, store, fakes.messageBox };

    Window()
    {
        ControlText::setText(form.findChild<QWidget *>(QString::fromLatin1(Role::Document)),
                             japaneseDocument());
        keeper.offer();
    }
};

// A change of one field, then the write that follows it.
void BM_KeepSession(benchmark::State &state)
{
    Window window;
    QWidget *subtitle = window.form.findChild<QWidget *>(QString::fromLatin1(Role::Subtitle));
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ControlText::setText(subtitle, QString::number(++i));
        state.ResumeTiming();
        window.keeper.keep();
    }
    state.counters["file_bytes"] = double(QFileInfo(window.store.location()).size());
}

void BM_CollectAndEncode(benchmark::State &state)
{
    Window window;
    for (auto _ : state)
        benchmark::DoNotOptimize(window.keeper.collect().toBytes());
}

void BM_WriteFile(benchmark::State &state)
{
    Window window;
    const QByteArray bytes = window.keeper.collect().toBytes();
    for (auto _ : state)
        window.store.save(bytes);
}

} // namespace

BENCHMARK(BM_KeepSession)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_CollectAndEncode)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WriteFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
