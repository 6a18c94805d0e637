// The process runner with scripts: limits and cancel stop all they started; outputs are drained.
#include "processrunner.h"
#include "windowtest.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>

using namespace Qt::StringLiterals;

using Outcome = ProcessRunner::Outcome;

class TestProcessRunner final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // The script's child while it runs, or 0 (a zombie does not run).
    int child() const
    {
        QFile noted(m_dir.filePath(u"child"_s));
        const int pid = noted.open(QIODevice::ReadOnly) ? noted.readAll().trimmed().toInt() : 0;
        QFile stat(u"/proc/%1/stat"_s.arg(pid));
        const bool zombie = !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
        return zombie ? 0 : pid;
    }

private Q_SLOTS:
    void cleanup() { QFile::remove(m_dir.filePath(u"child"_s)); }

    void run_data()
    {
        QTest::addColumn<QByteArray>("script");
        // 1: cancelled once the child runs; 2: left running at the limit, as the mail client is;
        // 3: cancelled while a large input is put in memory
        columns<int, int, QByteArray, bool>({ "stop", "how", "said", "tookAll" });
        const auto row = [](const char *tag, const QByteArray &script, int how,
                            const QByteArray &said, bool tookAll, int stop = 0) {
            QTest::newRow(tag) << script << stop << how << said << tookAll;
        };
        const QByteArray waits = R"(sleep 30 & echo $! >"$D/child"; wait)";
        row("time limit", waits, Outcome::TimedOut, {}, false);
        row("cancel", waits, Outcome::Cancelled, {}, false, 1);
        row("left running at the limit", waits, Outcome::LeftRunning, {}, true, 2);
        row("cancel before the start", waits, Outcome::Cancelled, {}, false, 3);
        // Both pipes overflow unless the runner reads them while the program writes.
        const QByteArray talk = "head -c 99999 /dev/zero | tr '\\0' ";
        row("standard error first, a part read",
            "head -c 9 >/dev/null;" + talk + "e >&2;" + talk + 'o', Outcome::Exited,
            QByteArray(64 * 1024, 'e'), false);
        row("standard output, all input read", "cat >/dev/null; " + talk + 'o', Outcome::Exited,
            QByteArray(64 * 1024, 'o'), true);
    }
    void run()
    {
        QFETCH(QByteArray, script);
        QFETCH(int, stop);
        const QStringList arguments { u"-c"_s, u"D=\"$0\"; "_s + QString::fromUtf8(script),
                                      m_dir.path() };
        ProcessRunner runner({ u"/bin/sh"_s, arguments,
                               QByteArray(stop == 3 ? 64 << 20 : 99999, 'm'),
                               std::chrono::seconds(1), stop == 2 });
        if (stop == 3)
            QTimer::singleShot(0, &runner, [&] { runner.cancel(); });
        QTimer poll; // runs in the runner's event loop
        connect(&poll, &QTimer::timeout, &runner, [&] {
            if (stop == 1 && child())
                runner.cancel();
        });
        poll.start(10);
        const Outcome outcome = runner.run();
        QTEST(int(outcome.how), "how");
        QTEST(outcome.said, "said");
        QTEST(outcome.tookAllInput, "tookAll");
        // Stopped with everything it started, or left running with it.
        QTRY_COMPARE(child() != 0, stop == 2);
        QVERIFY(stop != 3 || !QFile::exists(m_dir.filePath(u"child"_s))); // never started
        if (stop == 2)
            ::kill(child(), SIGKILL);
    }
};

QTEST_GUILESS_MAIN(TestProcessRunner)
#include "tst_processrunner.moc"
