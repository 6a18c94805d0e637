// The kept session: its file, its places, the offer at the start, and every end of the program.
#include "fakes.h"
#include "filesessionstore.h"
#include "form1.h"
#include "keptsession.h"
#include "roles.h"
#include "sessionkeeper.h"
#include "textbox.h"
#include "windowtest.h"

#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using Reading = KeptSession::Reading;
constexpr auto Bad = Reading::Unreadable;
using Found = SessionStore::Found;

namespace {

const QByteArray None; // no such file
const QString Awkward = u"一行目\r\n\u00A0二\u2028三\u3000ＡＢＣ（＾0＾）～\r\n"_s;

// A kept field's key: the design name of its control.
const auto key = [](const char *role) { return QString::fromLatin1(role); };

const KeptSession Sample {
    { { key(Role::Body), Awkward },
      { key(Role::Document), u"\t\"\\\x01"_s + Awkward },
      { key(Role::Decorations), u"☆"_s } },
    { { u"IPAPGothic"_s, u"Sans"_s }, 10.5, true, false, true, false, 0x12ab34 },
    60
};

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
    QString moveAside() override { return {}; }
    void setAside() override { }
    void leave() override { }
    QString location() const override { return u"/state/zelvora/session"_s; }
    int refusals = 0, saves = 0;
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

    // Without an absolute $XDG_STATE_HOME (realProgram has one): the XDG place in the home folder.
    void folder_data()
    {
        QTest::addColumn<QByteArray>("variable");
        QTest::newRow("relative") << QByteArray("state");
        QTest::newRow("unset") << QByteArray();
    }
    void folder()
    {
        QFETCH(QByteArray, variable);
        const QByteArray kept = qgetenv("XDG_STATE_HOME");
        auto restore = qScopeGuard([&] { qputenv("XDG_STATE_HOME", kept); });
        variable.isNull() ? qunsetenv("XDG_STATE_HOME") : qputenv("XDG_STATE_HOME", variable);
        QCOMPARE(FileSessionStore::defaultFolder(), QDir::homePath() + u"/.local/state/zelvora"_s);
    }

    void refused_data()
    {
        columns<QByteArray, Reading>({ "bytes", "reading" });
        const QByteArray good = Sample.toBytes();
        QTest::newRow("cut in a text") << good.left(good.indexOf("三")) << Bad;
        QTest::newRow("too large") << good.leftJustified(KeptSession::MaxBytes + 1) << Bad;
        const auto edit
            = [&](const char *from, const char *to) { return QByteArray(good).replace(from, to); };
        QTest::newRow("version 0") << edit("version\": 1", "version\": 0") << Bad;
        QTest::newRow("not UTF-8") << edit("三", "\xe4\xb8") << Bad;
        QTest::newRow("a field not text") << edit("\"☆\"", "7") << Bad;
        QTest::newRow("a new key") << edit("\"fields\"", "\"x\": 1, \"fields\"") << Reading::Read;
        QTest::newRow("a font of no size") << edit("pointSize\": 10.5", "pointSize\": 0") << Bad;
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
        QVERIFY(!first->save("first"));
        // Where the system's lock does not reach, only the lock file's words and age: an hour old.
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

    // Starting, restoring, typing and closing where nothing can be written, or through a link.
    void startAndClose_data()
    {
        // make: %1: the state folder
        columns<QString, bool, bool>({ "make", "offered", "saved" });
        QTest::newRow("a file size limit of 0") << u"mkdir %1"_s << true << false;
        QTest::newRow("the state folder a file") << u"touch %1"_s << false << false;
        QTest::newRow("the state folder a link")
            << u"mkdir -m 755 %1.target && ln -s %1.target %1"_s << true << true;
    }
    void startAndClose()
    {
        QFETCH(QString, make);
        QFETCH(bool, saved);
        const QString folder = m_dir.filePath(u"zelvora"_s);
        QCOMPARE(run(u"sh -c"_s, { make.arg(folder) }), QString());
        const QByteArray before = Sample.toBytes();
        if (QFileInfo(folder).isDir())
            QVERIFY(writeFile(folder + u"/session"_s, before));
        FakeServices fakes;
        Form1 form1(fakes.services(), nullptr);
        FileSessionStore store(folder);
        SessionKeeper keeper(form1, store, fakes.messageBox);
        fakes.messageBox.answers = { 0 };
        {
            std::optional<FileSizeLimit> limit;
            if (QTest::currentDataTag() == "a file size limit of 0"_ba)
                limit.emplace(0);
            keeper.offer();
            ControlText::setText(child(&form1, Role::Subtitle), u"typed"_s);
            form1.close();
        }
        QTEST(fakes.messageBox.asked.size() == 1, "offered");
        QCOMPARE(fakes.messageBox.shown.size(), qsizetype(!saved));
        for (const auto &shown : std::as_const(fakes.messageBox.shown))
            QVERIFY2(shown.prompt.startsWith(u"作成内容を保存できないまま終了します。"_s)
                         && shown.prompt.contains(folder) && !shown.prompt.contains(u"（）"_s),
                     qPrintable(shown.prompt));
        const QByteArray after = readFile(folder + u"/session"_s);
        // Written through the link, whose folder keeps its mode; or not written at all.
        QVERIFY(saved ? KeptSession::parse(after).session.fields[key(Role::Subtitle)] == u"typed"_s
                        && run(u"stat -c%a"_s, { folder + u".target"_s }) == u"755"_s
                      : after == (QFileInfo(folder).isDir() ? before : None));
    }

    // The kept session is offered; what is declined or unreadable is set aside, numbered, once.
    void offer_data()
    {
        // aside: where the kept session went
        columns<QByteArray, QByteArray, int, int, int, QString, QString>(
            { "kept", "left", "answer", "asked", "warned", "body", "aside" });
        KeptSession old = Sample;
        old.fields[key(Role::DateBox)] = u"1999/01/01"_s;
        const QByteArray bytes = old.toBytes();
        const QByteArray newer = QByteArray(bytes).replace("\"version\": 1", "\"version\": 9");
        const QString none, bad = u".bad-2"_s;
        QTest::newRow("nothing kept") << QByteArray() << None << 1 << 0 << 0 << none << none;
        QTest::newRow("a new window of another day")
            << QByteArray("new") << None << 0 << 0 << 0 << none << none;
        QTest::newRow("はい") << bytes << bytes << 0 << 1 << 0 << Awkward << none;
        QTest::newRow("いいえ") << bytes << None << 1 << 1 << 0 << none << u".declined-2"_s;
        QTest::newRow("unreadable")
            << QByteArray("{\"format") << None << 1 << 0 << 1 << none << bad;
        // Not a regular file, or too large: never opened.
        for (const char *make : { "mkdir %1", "mkfifo %1", "ln -s / %1", "truncate -s65M %1" })
            QTest::newRow(make) << "sh " + QByteArray(make) << None << 1 << 0 << 1 << none << bad;
        QTest::newRow("newer") << newer << newer << 1 << 0 << 0 << none << none;
    }
    void offer()
    {
        QFETCH(QByteArray, kept);
        QFETCH(QString, aside);
        FakeServices fakes;
        Form1 form1(fakes.services(), nullptr);
        ControlText::setText(child(&form1, Role::DateBox), u"2001/05/12"_s);
        FileSessionStore store(m_dir.path());
        SessionKeeper keeper(form1, store, fakes.messageBox);
        QSignalSpy restored(&keeper, &SessionKeeper::restored);
        if (kept == "new") {
            KeptSession anotherDay = keeper.collect();
            anotherDay.fields[key(Role::DateBox)] = u"1999/01/01"_s;
            kept = anotherDay.toBytes();
        }
        run(u"sh -c"_s, { u"echo earlier >$0.bad; echo earlier >$0.declined"_s, place() });
        if (kept.startsWith("sh "))
            QCOMPARE(run(u"sh -c"_s, { QString::fromUtf8(kept.mid(3)).arg(place()) }), QString());
        else if (!kept.isEmpty())
            QVERIFY(writeFile(place(), kept));
        QFETCH(int, answer);
        fakes.messageBox.answers = { answer };
        keeper.offer();
        QTEST(int(fakes.messageBox.asked.size()), "asked");
        QTEST(int(fakes.messageBox.shown.size()), "warned");
        QFETCH(QString, body);
        QCOMPARE(keeper.collect().fields[key(Role::Body)], body);
        QCOMPARE(keeper.collect().fields[key(Role::DateBox)], u"2001/05/12"_s);
        QCOMPARE(restored.size(), int(body == Awkward));
        QTEST(readFile(place()), "left");
        for (const QString &suffix : { u".bad"_s, u".declined"_s })
            QCOMPARE(readFile(place() + suffix), "earlier\n");
        for (const QString &suffix : { u".bad-2"_s, u".declined-2"_s })
            QCOMPARE(QFileInfo(place() + suffix).isSymLink() || QFileInfo::exists(place() + suffix),
                     suffix == aside);
        if (!aside.isEmpty() && !kept.startsWith("sh "))
            QCOMPARE(readFile(place() + aside), kept);
        for (const auto &shown : std::as_const(fakes.messageBox.shown))
            QVERIFY2(shown.prompt.contains(place() + aside), qPrintable(shown.prompt));
        if (readFile(place()) == None)
            QCOMPARE(FileSessionStore(m_dir.path()).take(99).found, Found::Nothing);
        const KeptSession now = keeper.collect();
        QCOMPARE(now.documentFont == Sample.documentFont && now.guideWidth == Sample.guideWidth,
                 body == Awkward);
    }

    // A change is written within DelayMs and at the end; a refused write is retried, told once.
    void writes_data()
    {
        // typing: every DelayMs / 4; end: right after the first character; writes: before keep()
        columns<bool, QString, int, int>({ "typing", "end", "refusals", "writes" });
        QTest::newRow("quitting") << false << u"quit"_s << 0 << 1;
        QTest::newRow("typing on") << true << QString() << 0 << 1;
        QTest::newRow("refused") << false << QString() << 1 << 2;
        QTest::newRow("closing, not kept") << false << u"close"_s << 2 << 2;
        QTest::newRow("held") << false << u"hold"_s << 0 << 2;
    }
    void writes()
    {
        QFETCH(bool, typing);
        QFETCH(QString, end);
        QFETCH(int, refusals);
        QFETCH(int, writes);
        FakeServices fakes;
        Form1 form1(fakes.services(), nullptr);
        MemoryStore store;
        store.refusals = refusals;
        SessionKeeper keeper(form1, store, fakes.messageBox);
        keeper.offer();
        QWidget *body = child(&form1, Role::Body);
        const auto type = [body] { ControlText::setText(body, ControlText::text(body) + u"あ"_s); };
        QTimer typist;
        connect(&typist, &QTimer::timeout, body, type);
        type();
        if (typing)
            typist.start(SessionKeeper::DelayMs / 4);
        if (end == u"hold") {
            keeper.hold();
            QCOMPARE(store.kept, keeper.collect().toBytes());
            ControlText::setText(body, u"い"_s); // the cleared window, and a new character
        }
        if (end == u"close")
            form1.close();
        if (!end.isEmpty()) {
            QVERIFY(QMetaObject::invokeMethod(qApp, "aboutToQuit"));
            QCOMPARE(store.saves, end == u"hold" ? 1 : writes);
        }
        if (end == u"hold")
            keeper.release();
        QTRY_COMPARE_WITH_TIMEOUT(store.saves, writes, (writes + 1) * SessionKeeper::DelayMs);
        typist.stop();
        QCOMPARE(store.kept.isEmpty(), refusals >= writes);
        QCOMPARE(fakes.messageBox.shown.size(), qsizetype(refusals > 0));
        for (const auto &shown : std::as_const(fakes.messageBox.shown))
            QVERIFY(shown.prompt.contains(store.location())
                    && shown.prompt.startsWith(u"作成内容を保存できないまま"_s)
                        == (end == u"close"));
        keeper.keep();
        QCOMPARE(store.kept, keeper.collect().toBytes());
    }

    // The real program keeps what was typed however it ends, and stops a hanging transport.
    void realProgram_data()
    {
        // signal: 0: the window is destroyed from outside
        columns<int, bool>({ "signal", "handOff" });
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
    void unreachableDisplay()
    {
        const QString said = run(u"env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY=:59 sh -c"_s,
                                 { u"\"$0\"; echo status $?"_s, u"" ZELVORA_BINARY ""_s });
        QVERIFY2(said.count(u'\n') == 1 && said.startsWith(u"status 1\n"_s), qPrintable(said));
        QVERIFY(said.contains(u"画面に接続できません"_s)
                && said.contains(u"cannot connect to a display"_s));
    }
};

QTEST_MAIN(TestSession)
#include "tst_session.moc"
