// The backnumber window over a folder of 5,000 copies with broken ones among them: the time from
// opening it to its first screenful of rows (target 300 ms), and from selecting a 1 MiB issue
// to its text on the screen (target 100 ms); and the longest the user-interface thread was busy
// at once meanwhile (target 100 ms).
#include "backnumberwindow.h"
#include "shell.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr int Copies = 5000;
constexpr int Screenful = 30;

struct NoShell final : Shell
{
    qintptr shellExecute(quintptr, const QByteArray &, const QByteArray &, const QByteArray &,
                         const QByteArray &, qint32) override
    {
        return 42;
    }
};

QByteArray message(const QString &body)
{
    QByteArray base64 = body.toUtf8().toBase64(), folded;
    for (qsizetype at = 0; at < base64.size(); at += 76)
        folded += base64.mid(at, 76) + '\n';
    return "To: =?UTF-8?B?6Kqt6ICF?= <list@example.jp>\nSubject: x\n"
           "Date: Mon, 07 Dec 2026 10:15:00 +0900\nMIME-Version: 1.0\n"
           "Content-Type: text/plain; charset=UTF-8\nContent-Transfer-Encoding: base64\n\n"
        + folded;
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// Runs the event loop until done() holds, noting the longest the thread was busy at once.
qint64 waitFor(const std::function<bool()> &done, qint64 &longestBusy)
{
    QElapsedTimer clock, tick;
    clock.start();
    tick.start();
    while (!done()) {
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 10);
        longestBusy = std::max(longestBusy, tick.restart());
        if (clock.elapsed() > 60000)
            qFatal("gave up waiting");
    }
    return clock.elapsed();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const QString week
        = u"今週のメルマガは寒い朝の話題です。駅前の桜並木も色づきました。\r\n"_s.repeated(60);
    const QByteArray fields
        = R"({"format":"zelvora-session","version":1,"fields":{"Combo1":"第12号","Text7":"寒い朝"}})";
    QDateTime at(QDate(2026, 12, 7), QTime(10, 15));
    for (int i = 0; i < Copies; ++i) {
        const QString stem = folder.filePath(at.addSecs(-i * 600).toString(u"yyyy-MM-dd_HHmmss"_s));
        write(stem + u".eml"_s, i % 100 == 7 ? message(week).left(500) : message(week));
        write(stem + u".fields"_s, fields);
    }
    write(folder.filePath(u"2026-12-08_000000.eml"_s),
          message(week.repeated(1024 * 1024 / week.toUtf8().size() + 1)));
    std::printf("folder: %d copies of %lld bytes, 50 cut short, and one of 1 MiB of text\n", Copies,
                qint64(message(week).size()));

    NoShell shell;
    for (int run = 0; run < 3; ++run) {
        qint64 busy = 0;
        QElapsedTimer opening;
        opening.start();
        auto *window = new BacknumberWindow(folder.path(), shell);
        window->show();
        auto *list = window->findChild<QListWidget *>();
        const qint64 constructed = opening.elapsed();
        QSignalSpy shown(window, &BacknumberWindow::shown);
        const qint64 firstRows
            = constructed + waitFor([&] { return list->count() >= Screenful; }, busy);
        QSignalSpy listed(window, &BacknumberWindow::listed);
        const qint64 all = firstRows + waitFor([&] { return listed.count() > 0; }, busy);
        waitFor([&] { return shown.count() > 0; }, busy);
        list->setCurrentRow(1);
        list->setCurrentRow(0); // the 1 MiB issue, the newest
        const int before = shown.count();
        QElapsedTimer selecting;
        selecting.start();
        qint64 selectBusy = 0;
        const qint64 showing = waitFor([&] { return shown.count() > before; }, selectBusy);
        std::printf("run %d: first %d rows %lld ms (window built %lld ms), all %d listed %lld ms, "
                    "longest busy %lld ms; 1 MiB issue shown %lld ms (busy %lld ms)\n",
                    run + 1, Screenful, firstRows, constructed, list->count(), all, busy, showing,
                    selectBusy);
        delete window;
    }
    return 0;
}
