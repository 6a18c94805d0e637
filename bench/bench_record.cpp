// The record of the hand-offs holding 5,000 sends: one lookup, which runs on the event loop as
// the author clicks the send button and must stay well under 10 ms, and one keep() after a send
// (the copy written, the record read, appended and written whole under its lock).
#include "sentfolder.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int Sends = 5000;
const QString Document = u"今日のメルマガは寒い朝の話題です。\r\n"_s.repeated(2000);

struct Folder
{
    QTemporaryDir home;
    QDateTime clock { QDate(2026, 12, 7), QTime(10, 15) };
    // A second later at every send, so each copy's name is free at once.
    SentFolder copies { home.filePath(u"sent"_s), [this] { return clock = clock.addSecs(1); } };

    // One real hand-off, its line repeated for 5,000 readers' addresses.
    Folder()
    {
        copies.keep("x", { u"reader0@example.jp"_s, Document, true });
        QFile record(copies.recordFile());
        if (!record.open(QIODevice::ReadWrite))
            return;
        const QByteArray line = record.readAll();
        QByteArray all;
        for (int i = 0; i < Sends; ++i)
            all += QByteArray(line).replace("reader0@", "reader" + QByteArray::number(i) + '@');
        record.seek(0);
        record.write(all);
    }
};

void BM_RecordedLookup(benchmark::State &state)
{
    Folder folder;
    qsizetype found = 0;
    for (auto _ : state)
        found = folder.copies.recorded(u"Reader4321@Example.jp"_s, Document).size();
    if (found != 1 || folder.copies.lastFailure())
        state.SkipWithError("the recorded hand-off was not found");
    state.counters["record_bytes"] = double(QFile(folder.copies.recordFile()).size());
}

void BM_Keep(benchmark::State &state)
{
    Folder folder;
    const QByteArray message = Document.toUtf8();
    for (auto _ : state)
        folder.copies.keep(message, { u"reader1@example.jp"_s, Document, false });
    if (folder.copies.lastFailure())
        state.SkipWithError("the hand-off could not be kept");
}

} // namespace

BENCHMARK(BM_RecordedLookup)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Keep)->Unit(benchmark::kMillisecond)->Iterations(200);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
