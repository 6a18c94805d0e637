// The kept session: its file, its places, the offer at the start, and every end of the program.
#include "fakes.h"
#include "filesessionstore.h"
#include "form1.h"
#include "keptsession.h"
#include "roles.h"
#include "sessionkeeper.h"
#include "textbox.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>

using namespace Qt::StringLiterals;
using Reading = KeptSession::Reading;
constexpr auto Bad = Reading::Unreadable;
using Found = SessionStore::Found;

namespace {

const QByteArray None = "(none)";
const QString Awkward = u"一行目\r\n\u00A0二\u2028三\u3000ＡＢＣ（＾0＾）～\r\n"_s;

// A kept field's key: the design name of its control.
QString key(const char *role)
{
    return QString::fromLatin1(role);
}

QWidget *control(const QWidget &window, const char *role)
{
    return window.findChild<QWidget *>(key(role));
}

const KeptSession Sample {
    { { key(Role::Body), Awkward },
      { key(Role::Document), u"\t\"\\\x01"_s + Awkward },
      { key(Role::Decorations), u"☆"_s } },
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

/// A store in memory whose first saves are refused.
class MemoryStore final : public SessionStore
{
public:
    Kept take(qint64) override { return {}; }
    std::optional<Failure> save(const QByteArray &bytes) override
    {
        if (++saves <= refusals)
            return Failure { location(), u"ディスクがいっぱいです"_s };
        kept = bytes;
        return std::nullopt;
    }
    void discard() override { kept.clear(); }
    void moveAside() override { }
    void leave() override { }
    QString location() const override { return u"/state/zelvora/session"_s; }
    int refusals = 0;
    int saves = 0;
    QByteArray kept;
};

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

    // Two instances at once write two files, however long the first has run; the next two
    // starts take one each.
    void twoInstances()
    {
        auto first = std::make_unique<FileSessionStore>(m_dir.path());
        auto second = std::make_unique<FileSessionStore>(m_dir.path());
        QCOMPARE(first->take(99).found, Found::Nothing);
        QVERIFY(!first->save("first"));
        // Where the system's lock on a file does not reach (a folder shared by two machines), an
        // instance sees only the lock file's words and its age: a copy of them, an hour old.
        QCOMPARE(run(u"sh -c"_s,
                     { u"cp $0 $0~ && mv $0~ $0 && touch -d '1 hour ago' $0"_s,
                       first->location() + u".lock"_s }),
                 QString());
        QCOMPARE(second->take(99).found, Found::Nothing);
        QVERIFY(!second->save("second"));
        QCOMPARE_NE(second->location(), first->location());
        QCOMPARE(run(u"stat -c%a"_s, { first->location(), m_dir.path() }), u"600\n700"_s);
        QCOMPARE(run(u"touch -d"_s, { u"5 seconds"_s, second->location() }), QString());
        first.reset(), second.reset();
        FileSessionStore third(m_dir.path()), fourth(m_dir.path());
        QCOMPARE(third.take(99).bytes, "second");
        QCOMPARE(fourth.take(99).bytes, "first");
        QCOMPARE(FileSessionStore(m_dir.path()).take(99).found, Found::Nothing);
    }

    // Root writes through any permission: what stops every user is a folder where a file
    // belongs, or a file where the folder belongs.
    void refusedSave_data()
    {
        QTest::addColumn<QString>("make");
        QTest::newRow("the session a folder") << u"mkdir -p %1/session"_s;
        QTest::newRow("the state folder a file") << u"touch %1"_s;
    }
    void refusedSave()
    {
        QFETCH(QString, make);
        QCOMPARE(run(u"sh -c"_s, { make.arg(m_dir.filePath(u"zelvora"_s)) }), QString());
        FileSessionStore store(m_dir.filePath(u"zelvora"_s));
        store.take(99);
        const auto failure = store.save("kept");
        QVERIFY(failure && !failure->reason.isEmpty());
        QCOMPARE(failure->path, store.location());
    }

    void offer_data()
    {
        for (const char *column : { "kept", "left" })
            QTest::addColumn<QByteArray>(column);
        for (const char *column : { "answer", "asked", "warned" })
            QTest::addColumn<int>(column);
        QTest::addColumn<QString>("body");
        KeptSession old = Sample;
        old.fields[key(Role::DateBox)] = u"1999/01/01"_s;
        const QByteArray bytes = old.toBytes();
        const QByteArray newer = QByteArray(bytes).replace("\"version\": 1", "\"version\": 9");
        QTest::newRow("nothing kept") << QByteArray() << None << 1 << 0 << 0 << QString();
        QTest::newRow("a new window of another day")
            << QByteArray("new") << None << 0 << 0 << 0 << QString();
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
        ControlText::setText(control(form1, Role::DateBox), u"2001/05/12"_s);
        FileSessionStore store(m_dir.path());
        SessionKeeper keeper(form1, store, fakes.messageBox);
        if (kept == "new") {
            KeptSession anotherDay = keeper.collect();
            anotherDay.fields[key(Role::DateBox)] = u"1999/01/01"_s;
            kept = anotherDay.toBytes();
        }
        if (kept.startsWith("sh "))
            QCOMPARE(run(u"sh -c"_s, { QString::fromUtf8(kept.mid(3)).arg(place()) }), QString());
        else if (QFile file(place()); !kept.isEmpty())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(kept) > 0);
        QFETCH(int, answer);
        fakes.messageBox.answers = { answer };
        keeper.offer();
        QTEST(int(fakes.messageBox.asked.size()), "asked");
        QTEST(int(fakes.messageBox.shown.size()), "warned");
        QFETCH(QString, body);
        QCOMPARE(keeper.collect().fields[key(Role::Body)], body);
        QCOMPARE(keeper.collect().fields[key(Role::DateBox)], u"2001/05/12"_s);
        QTEST(readFile(place()), "left");
        QCOMPARE(QFileInfo::exists(place() + u".bad"_s), fakes.messageBox.shown.size() == 1);
        const KeptSession now = keeper.collect();
        QCOMPARE(now.documentFont == Sample.documentFont && now.guideWidth == Sample.guideWidth,
                 body == Awkward);
    }

    // A change is written at most DelayMs later however long the typing goes on, and at once
    // when the program quits; a refused write is written again without a new change, and told
    // once.
    void writes_data()
    {
        QTest::addColumn<bool>("typing"); // a character every DelayMs / 4 until the writes
        QTest::addColumn<bool>("quitting"); // right after the first character
        QTest::addColumn<int>("refusals");
        QTest::addColumn<int>("writes"); // before the last keep()
        QTest::newRow("quitting") << false << true << 0 << 1;
        QTest::newRow("typing on") << true << false << 0 << 1;
        QTest::newRow("refused") << false << false << 1 << 1;
        QTest::newRow("refused while typing on") << true << false << 2 << 2;
    }
    void writes()
    {
        QFETCH(bool, typing);
        QFETCH(bool, quitting);
        QFETCH(int, refusals);
        QFETCH(int, writes);
        FakeServices fakes;
        Form1 form1(fakes.services(), nullptr);
        MemoryStore store;
        store.refusals = refusals;
        SessionKeeper keeper(form1, store, fakes.messageBox);
        keeper.offer();
        QWidget *body = control(form1, Role::Body);
        const auto type = [body] { ControlText::setText(body, ControlText::text(body) + u"あ"_s); };
        QTimer typist;
        connect(&typist, &QTimer::timeout, body, type);
        type();
        if (typing)
            typist.start(SessionKeeper::DelayMs / 4);
        if (quitting) {
            // The signal is the application's own; a call by name emits it all the same.
            QVERIFY(QMetaObject::invokeMethod(qApp, "aboutToQuit"));
            QCOMPARE(store.saves, writes);
        }
        QTRY_COMPARE_WITH_TIMEOUT(store.saves, writes, (writes + 1) * SessionKeeper::DelayMs);
        typist.stop();
        QCOMPARE(store.kept.isEmpty(), refusals >= writes);
        QCOMPARE(fakes.messageBox.shown.size(), qsizetype(refusals > 0));
        for (const auto &shown : std::as_const(fakes.messageBox.shown))
            QVERIFY(shown.prompt.contains(store.location()));
        keeper.keep();
        QCOMPARE(store.kept, keeper.collect().toBytes());
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
        QCOMPARE(KeptSession::parse(readFile(kept)).session.fields[key(Role::RecipientAddress)],
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
