// The kept session: its file, its places, the offer at the start, and every end of the program.
#include "fakes.h"
#include "filesessionstore.h"
#include "form1.h"
#include "keptsession.h"
#include "sessionkeeper.h"
#include "textbox.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;
using Reading = KeptSession::Reading;
constexpr auto Bad = Reading::Unreadable;
using Found = SessionStore::Found;

namespace {

const QByteArray None = "(none)";
const QString Awkward = u"一行目\r\n\u00A0二\u2028三\u3000ＡＢＣ（＾0＾）～\r\n"_s;

const KeptSession Sample {
    { { u"Text7"_s, Awkward }, { u"Text"_s, u"\t\"\\\x01"_s + Awkward }, { u"List1"_s, u"☆"_s } },
    { { u"IPAPGothic"_s, u"Sans"_s }, 10.5, true, false, true, false, 0x12ab34 },
    60
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : None;
}

// What a command line (words between single spaces, then more) says on its outputs, trimmed.
QString run(const QString &words, const QStringList &more = {})
{
    QProcess p;
    const QStringList command = words.split(u' ') + more;
    p.start(command.first(), command.mid(1));
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).trimmed();
}

} // namespace

class TestSession final : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString place() const { return m_dir.filePath(u"session"_s); }

private Q_SLOTS:
    void init() { QVERIFY(QDir(m_dir.path()).removeRecursively() && QDir().mkpath(m_dir.path())); }

    void roundTrip() { QCOMPARE(KeptSession::parse(Sample.toBytes()).session, Sample); }

    void refused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Reading>("reading");
        const QByteArray good = Sample.toBytes();
        QTest::newRow("cut short") << good.left(good.size() - 3) << Bad;
        QTest::newRow("cut in a text") << good.left(good.indexOf("三")) << Bad;
        QTest::newRow("too large") << good.leftJustified(KeptSession::MaxBytes + 1) << Bad;
        const auto edit
            = [&](const char *from, const char *to) { return QByteArray(good).replace(from, to); };
        QTest::newRow("version 0") << edit("version\": 1", "version\": 0") << Bad;
        QTest::newRow("newer version") << edit("version\": 1", "version\": 2") << Reading::Newer;
        QTest::newRow("not UTF-8") << edit("三", "\xe4\xb8") << Bad;
        QTest::newRow("a field not text") << edit("\"☆\"", "7") << Bad;
        QTest::newRow("a new key") << edit("\"fields\"", "\"x\": 1, \"fields\"") << Reading::Read;
    }
    void refused()
    {
        QFETCH(QByteArray, bytes);
        QTEST(KeptSession::parse(bytes).reading, "reading");
    }

    // Two instances at once write two files; the next two starts take one each.
    void twoInstances()
    {
        auto first = std::make_unique<FileSessionStore>(m_dir.path());
        auto second = std::make_unique<FileSessionStore>(m_dir.path());
        QCOMPARE(first->take(99).found, Found::Nothing);
        QCOMPARE(second->take(99).found, Found::Nothing);
        first->save("first");
        second->save("second");
        QCOMPARE(run(u"stat -c%a"_s, { first->location(), m_dir.path() }), u"600\n700"_s);
        QFile newer(second->location()); // a file's times are set through an open file
        QVERIFY(newer.open(QIODevice::ReadWrite)
                && newer.setFileTime(QDateTime::currentDateTime().addSecs(5),
                                     QFile::FileModificationTime));
        first.reset(), second.reset();
        FileSessionStore third(m_dir.path()), fourth(m_dir.path());
        QCOMPARE(third.take(99).bytes, "second");
        QCOMPARE(fourth.take(99).bytes, "first");
        QCOMPARE(FileSessionStore(m_dir.path()).take(99).found, Found::Nothing);
    }

    void offer_data()
    {
        for (const char *column : { "kept", "left" })
            QTest::addColumn<QByteArray>(column);
        for (const char *column : { "answer", "asked", "warned" })
            QTest::addColumn<int>(column);
        QTest::addColumn<QString>("body");
        KeptSession old = Sample;
        old.fields[u"Text9"_s] = u"1999/01/01"_s;
        const QByteArray bytes = old.toBytes();
        const QByteArray newer = QByteArray(bytes).replace("\"version\": 1", "\"version\": 9");
        QTest::newRow("nothing kept") << QByteArray() << None << 1 << 0 << 0 << QString();
        QTest::newRow("like a new window") << QByteArray("new") << None << 1 << 0 << 0 << QString();
        QTest::newRow("はい") << bytes << bytes << 0 << 1 << 0 << Awkward;
        QTest::newRow("いいえ") << bytes << None << 1 << 1 << 0 << QString();
        QTest::newRow("unreadable") << QByteArray("{\"format") << None << 1 << 0 << 1 << QString();
        // Not a regular file, or too large: never opened.
        for (const char *make : { "mkdir %1", "mkfifo %1", "ln -s / %1", "truncate -s65M %1" })
            QTest::newRow(make) << "sh " + QByteArray(make) << None << 1 << 0 << 1 << QString();
        QTest::newRow("newer") << newer << newer << 1 << 0 << 0 << QString();
    }
    void offer()
    {
        QFETCH(QByteArray, kept);
        FakeServices fakes;
        Form1 form1(fakes.services(), nullptr);
        ControlText::setText(form1.findChild<QWidget *>(u"Text9"_s), u"2001/05/12"_s);
        FileSessionStore store(m_dir.path());
        SessionKeeper keeper(form1, store, fakes.messageBox);
        if (kept.startsWith("sh "))
            QCOMPARE(run(u"sh -c"_s, { QString::fromUtf8(kept.mid(3)).arg(place()) }), QString());
        else if (QFile file(place()); !kept.isEmpty())
            QVERIFY(file.open(QIODevice::WriteOnly)
                    && file.write(kept == "new" ? keeper.collect().toBytes() : kept) > 0);
        QFETCH(int, answer);
        fakes.messageBox.answers = { answer };
        keeper.offer();
        QTEST(int(fakes.messageBox.asked.size()), "asked");
        QTEST(int(fakes.messageBox.shown.size()), "warned");
        QFETCH(QString, body);
        QCOMPARE(keeper.collect().fields[u"Text7"_s], body);
        QCOMPARE(keeper.collect().fields[u"Text9"_s], u"2001/05/12"_s);
        QTEST(readFile(place()), "left");
        QCOMPARE(QFileInfo::exists(place() + u".bad"_s), fakes.messageBox.shown.size() == 1);
        const KeptSession now = keeper.collect();
        QCOMPARE(now.documentFont == Sample.documentFont && now.guideWidth == Sample.guideWidth,
                 body == Awkward);
    }

    // The real program: what was typed is kept however it ends, and a transport that hangs is
    // stopped with everything it started.
    void realProgram_data()
    {
        QTest::addColumn<int>("signal"); // 0: the window is destroyed from outside
        QTest::addColumn<bool>("handOff");
        for (int number : { SIGTERM, SIGHUP, SIGINT, SIGKILL })
            QTest::newRow(strsignal(number)) << number << false;
        QTest::newRow("windowclose") << 0 << false;
        QTest::newRow("SIGTERM during a hand-off") << SIGTERM << true;
    }
    void realProgram()
    {
        QFETCH(int, signal);
        QFETCH(bool, handOff);
        run(u"sh -c"_s,
            { u"mkdir $0/bin; printf '#!/bin/sh\\nsleep 600 & echo $! >%s/pid\\nwait' $0 "
              u">$0/bin/sendmail; chmod +x $0/bin/sendmail"_s,
              m_dir.path() });
        QProcess zelvora; // env runs the program in its own process
        zelvora.start(u"env"_s,
                      { u"XDG_STATE_HOME="_s + m_dir.path(),
                        u"PATH=%1/bin:"_s.arg(m_dir.path()) + qEnvironmentVariable("PATH"),
                        u"" ZELVORA_BINARY ""_s });
        const QString window = run(u"xdotool search --sync --onlyvisible --name ^Zelvora.+Ver1"_s);
        // From the first field back to the address, and on to Command9 for a hand-off.
        run(u"xdotool windowfocus --sync "_s + window);
        run(u"xdotool key shift+Tab type --delay 20 a@example.test"_s);
        if (handOff) {
            // An assembled document (the box's initial text is never sent), then Command9.
            run(u"xdotool key --delay 50 Tab Tab Tab Tab Tab Tab Tab space"_s);
            run(u"xdotool key --delay 50"_s + u" shift+Tab"_s.repeated(11) + u" space"_s);
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_dir.filePath(u"pid"_s)), 10000);
        }
        const QString kept = m_dir.filePath(u"zelvora/session"_s);
        if (signal == SIGKILL)
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(kept), SessionKeeper::DelayMs + 1000);
        signal ? void(::kill(pid_t(zelvora.processId()), signal))
               : void(run(u"xdotool windowclose "_s + window));
        QVERIFY(zelvora.waitForFinished(10000)
                && zelvora.exitCode() == (signal == SIGKILL ? 9 : 0));
        QCOMPARE(KeptSession::parse(readFile(kept)).session.fields[u"Text10"_s],
                 u"a@example.test"_s);
        if (handOff) // gone, or a zombie of nobody
            QCOMPARE(run(u"ps -o stat= -p "_s
                         + QString::fromUtf8(readFile(m_dir.filePath(u"pid"_s)).trimmed()))
                         .remove(u'Z'),
                     u""_s);
    }

    // A display that cannot be opened: one line in both languages and status 1, no core dump.
    void unreachableDisplay_data()
    {
        QTest::addColumn<QString>("display");
        QTest::newRow("X display :59") << u"DISPLAY=:59"_s;
        QTest::newRow("Wayland display") << u"WAYLAND_DISPLAY=wayland-59"_s;
    }
    void unreachableDisplay()
    {
        QFETCH(QString, display);
        const QString said
            = run(u"env -u DISPLAY -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY sh -c"_s,
                  { u"export %1; \"$0\"; echo status $?"_s.arg(display), u"" ZELVORA_BINARY ""_s });
        QVERIFY2(said.count(u'\n') == 1 && said.startsWith(u"status 1\n"_s), qPrintable(said));
        QVERIFY(said.contains(u"画面に接続できません"_s)
                && said.contains(u"cannot connect to a display"_s));
    }
};

QTEST_MAIN(TestSession)
#include "tst_session.moc"
