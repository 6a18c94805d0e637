// The mail handler's process runner with shell scripts as the programs: the time limit and cancel
// stop the program with what it started, a mail client may be left running at the limit, each
// output is drained and kept up to 64 KiB, and the runner tells whether the input was all read.
#include "processrunner.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

using Outcome = ProcessRunner::Outcome;

class TestProcessRunner final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QByteArray file(const QString &name) const
    {
        QFile f(m_dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Whether the process a script noted still runs (a zombie does not).
    bool runs(const QByteArray &pid) const
    {
        QFile stat(u"/proc/%1/stat"_s.arg(QString::fromLatin1(pid.trimmed())));
        return !pid.isEmpty() && stat.open(QIODevice::ReadOnly)
            && !stat.readAll().split(')').last().startsWith(" Z");
    }

private Q_SLOTS:
    void cleanup() { QFile::remove(m_dir.filePath(u"child"_s)); }

    void run_data()
    {
        QTest::addColumn<QByteArray>("script");
        // 1: cancelled once the child runs; 2: left running at the limit, as the mail client is
        QTest::addColumn<int>("stop");
        QTest::addColumn<int>("how");
        QTest::addColumn<QByteArray>("said");
        QTest::addColumn<bool>("tookAll");
        const auto row = [](const char *tag, const QByteArray &script, int how,
                            const QByteArray &said, bool tookAll, int stop = 0) {
            QTest::newRow(tag) << script << stop << how << said << tookAll;
        };
        const QByteArray waits = R"(sleep 30 & echo $! >"$D/child"; wait)";
        row("time limit", waits, Outcome::TimedOut, {}, false);
        row("cancel", waits, Outcome::Cancelled, {}, false, 1);
        row("left running at the limit", waits, Outcome::LeftRunning, {}, true, 2);
        // Both pipes overflow unless the runner reads them while the program writes.
        const QByteArray talk = "head -c 99999 /dev/zero | tr '\\0' ";
        row("standard error first", talk + "e >&2; " + talk + 'o', Outcome::Exited,
            QByteArray(64 * 1024, 'e'), false);
        row("standard output, all input read", "cat >/dev/null; " + talk + 'o', Outcome::Exited,
            QByteArray(64 * 1024, 'o'), true);
        row("reads a part", "head -c 100 >/dev/null", Outcome::Exited, {}, false);
    }
    void run()
    {
        QFETCH(QByteArray, script);
        QFETCH(int, stop);
        const QStringList arguments { u"-c"_s, u"D=\"$0\"; "_s + QString::fromUtf8(script),
                                      m_dir.path() };
        ProcessRunner runner({ u"/bin/sh"_s, arguments, QByteArray(99999, 'm'), 1s, stop == 2 });
        QTimer poll;
        connect(&poll, &QTimer::timeout, &runner, [&] {
            if (stop == 1 && !file(u"child"_s).isEmpty())
                runner.cancel();
        });
        connect(&runner, &ProcessRunner::started, &poll, [&] { poll.start(10); });
        const Outcome outcome = runner.run();
        QTEST(int(outcome.how), "how");
        QTEST(outcome.said, "said");
        QTEST(outcome.tookAllInput, "tookAll");
        // Stopped with everything it started, or left running with it.
        QTRY_COMPARE(runs(file(u"child"_s)), stop == 2);
        if (stop == 2)
            ::kill(file(u"child"_s).trimmed().toInt(), SIGKILL);
    }
};

QTEST_GUILESS_MAIN(TestProcessRunner)
#include "tst_processrunner.moc"
