// Sent once, and the author knows it, through the real window; every issue sent kept as .eml.
#include "fakes.h"
#include "form1.h"
#include "roles.h"
#include "sentfolder.h"
#include "statusnote.h"
#include "textbox.h"
#include "windowtest.h"

#include <QAccessible>
#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSendOnce final : public QObject
{
    Q_OBJECT

    FakeServices m_fakes;
    FakeSentCopies m_copies;
    std::unique_ptr<Form1> m_form;

    QWidget *get(const char *name) const { return child(m_form.get(), name); }
    void send() { click(m_form.get(), Role::Send); }

private Q_SLOTS:
    void init()
    {
        m_fakes.messageBox = {};
        m_fakes.mail.sent.clear();
        m_fakes.mail.failure.reset();
        m_fakes.notifier = {};
        m_fakes.clock.now = { QDate(2001, 5, 12), QTime(10, 15) };
        m_copies = {};
        Services services = m_fakes.services();
        services.sentCopies = &m_copies;
        m_form = std::make_unique<Form1>(services, nullptr);
        m_form->show();
        ControlText::setText(get(Role::RecipientAddress), u"list@example.jp"_s);
    }
    void cleanup() { m_form.reset(); }

    // The window's initial text is no issue (other documents that are none: tst_mail refusal).
    void initialTextIsRefused()
    {
        send();
        QVERIFY(m_fakes.mail.sent.isEmpty());
        QVERIFY(m_fakes.messageBox.shown.value(0).prompt.startsWith(
            u"32017\r送信する文書がありません"_s));
    }

    void doubleClickIsOneClick()
    {
        ControlText::setText(get(Role::Document), u"本文"_s);
        // As the window system delivers it: press, release, double-click, release.
        QWidget *button = get(Role::Send);
        QTest::mouseClick(button, Qt::LeftButton);
        const QPointF at = button->rect().center();
        QMouseEvent second(QEvent::MouseButtonDblClick, at, button->mapToGlobal(at), Qt::LeftButton,
                           Qt::LeftButton, {});
        QApplication::sendEvent(button, &second);
        QTest::mouseRelease(button, Qt::LeftButton);
        QCOMPARE(m_fakes.mail.sent.size(), 1);
        QVERIFY(m_fakes.messageBox.asked.isEmpty()); // not even a second click to ask about
    }

    // Enter held where the toolkit did not see the repeat: the window system's release and press
    // at one moment are the key still held.
    void heldEnterIsOnePress()
    {
        ControlText::setText(get(Role::Document), u"本文"_s);
        QWidget *button = get(Role::Send);
        for (const auto &[type, time] : { std::pair { QEvent::KeyPress, 1000 },
                                          { QEvent::KeyRelease, 1660 },
                                          { QEvent::KeyPress, 1660 } }) {
            QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier);
            key.setTimestamp(time);
            QApplication::sendEvent(button, &key);
        }
        QCOMPARE(m_fakes.mail.sent.size(), 1);
        QVERIFY(m_fakes.messageBox.asked.isEmpty()); // not even a second press to ask about
    }

    // A notification after each successful send, with a copy that could not be kept; the note in
    // the window where no notification service answers; nothing after a failure.
    void successIsTold_data()
    {
        columns<bool, bool, bool>({ "service", "fails", "copyFails" });
        QTest::newRow("notification") << true << false << false;
        QTest::newRow("note") << false << false << false;
        QTest::newRow("notification, no copy") << true << false << true;
        QTest::newRow("failed send") << false << true << false;
    }
    void successIsTold()
    {
        QFETCH(bool, service);
        QFETCH(bool, fails);
        QFETCH(bool, copyFails);
        m_fakes.notifier.answering = service;
        if (fails)
            m_fakes.mail.failure = Error { 32002, u"no"_s };
        if (copyFails)
            m_copies.failure = { SentCopies::Failure::Folder, u"/home/u/sent"_s, {} };
        ControlText::setText(get(Role::RecipientName), u"読者"_s);
        ControlText::setText(get(Role::Document), u"本文"_s);
        send();
        m_fakes.mail.failure.reset();
        QCOMPARE(m_fakes.notifier.notified.size(), fails ? 0 : 1);
        auto note = m_form->findChild<QLabel *>(u"StatusNote"_s);
        QCOMPARE(note->isVisible(), !service && !fails);
        if (fails)
            return;
        const QString told = service ? m_fakes.notifier.notified[0] : note->text();
        QVERIFY2(told.contains(u"10:15 に 読者 <list@example.jp> 宛て"_s), qPrintable(told));
        QCOMPARE(told.contains(u"控えは保存できませんでした: 控えのフォルダー /home/u/sent"_s),
                 copyFails);
        if (service)
            return;
        QVERIFY(!note->isWindow());
        QCOMPARE(note->focusPolicy(), Qt::NoFocus);
        QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(note);
        QCOMPARE(spoken->role(), QAccessible::StatusBar);
        QCOMPARE(spoken->text(QAccessible::Name), note->text());
        QTRY_VERIFY_WITH_TIMEOUT(!note->isVisible(), StatusNote::ShownForMs + 2000);
    }

    // One file a send, named by the local date and time, a suffix for the same second; 0600 in a
    // 0700 folder (a link to a folder is used as it is); the bytes as given. Two running
    // instances read each other's hand-offs in the record, which keeps no document text; an
    // unreadable record is set aside once and sending goes on; what cannot be written is said
    // and leaves what was there.
    void copiesOfSentIssues_data()
    {
        // make: $0: the folder above the copies' folder; folder: the copies' folder, $0/sent when
        // empty; fails: what every keep() fails with; -1: nothing; aside: where an unreadable
        // record goes
        columns<QString, QString, int, QString>({ "make", "folder", "fails", "aside" });
        const QString unreadable
            = u"mkdir $0/sent && echo earlier >$0/sent/record.unreadable && "_s;
        const QString none, aside = u"record.unreadable-2"_s;
        QTest::newRow("a new folder") << none << none << -1 << none;
        QTest::newRow("the folder a link")
            << u"mkdir -m 755 $0/elsewhere && ln -s elsewhere $0/sent"_s << none << -1 << none;
        QTest::newRow("a record not UTF-8")
            << unreadable + u"printf '\\377\\n' >$0/sent/record"_s << none << -1 << aside;
        QTest::newRow("a record line that does not parse")
            << unreadable + u"echo x >$0/sent/record"_s << none << -1 << aside;
        QTest::newRow("a record a folder")
            << unreadable + u"mkdir $0/sent/record"_s << none << -1 << aside;
        QTest::newRow("the folder a file")
            << u"touch $0/sent"_s << none << int(SentCopies::Failure::Folder) << none;
        // The system refuses every mode change there, to root too.
        QTest::newRow("the folder's mode fixed")
            << none << u"/proc/1"_s << int(SentCopies::Failure::FolderMode) << none;
    }
    void copiesOfSentIssues()
    {
        QFETCH(QString, make);
        QFETCH(QString, folder);
        QFETCH(QString, aside);
        QTemporaryDir home;
        QCOMPARE(
            QProcess::execute(u"sh"_s, { u"-c"_s, make.isEmpty() ? u":"_s : make, home.path() }),
            0);
        folder = folder.isEmpty() ? home.filePath(u"sent"_s) : folder;
        const QDateTime at(QDate(2026, 12, 7), QTime(10, 15));
        SentFolder first(folder, [&] { return at; }), second(folder, [&] { return at; });
        const auto failed = [](const SentCopies &copies) {
            return copies.lastFailure() ? int(copies.lastFailure()->what) : -1;
        };
        const QString document = u"本文"_s;
        QVERIFY(first.recorded(u"list@example.jp"_s, document).isEmpty());
        QCOMPARE(first.lastFailure().value_or(SentCopies::Failure {}).path,
                 aside.isEmpty() ? QString() : folder + u'/' + aside);
        QVERIFY(first.recorded(u"list@example.jp"_s, document).isEmpty() && !first.lastFailure());
        const QList<QByteArray> messages { "To: a\n\nfirst\n", QByteArray("\0\r\n", 3), "x" };
        const QList<SentCopies::Delivery> deliveries { { u"List@Example.JP"_s, document, true },
                                                       { u"list@example.jp"_s, document, false },
                                                       { u"list@example.jp"_s, u"他"_s, true } };
        for (int i = 0; i < messages.size(); ++i) {
            SentFolder &copies = i % 2 ? second : first;
            copies.keep(messages[i], deliveries[i]);
            QTEST(failed(copies), "fails");
        }
        if (failed(first) >= 0)
            return;
        const QStringList names { u"2026-12-07_101500.eml"_s, u"2026-12-07_101500-2.eml"_s,
                                  u"2026-12-07_101500-3.eml"_s };
        QCOMPARE(QDir(folder).entryList({ u"*.eml"_s }, QDir::Files).size(), names.size());
        for (int i = 0; i < names.size(); ++i) {
            QFile file(QDir(folder).filePath(names[i]));
            QCOMPARE(file.permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), messages[i]);
        }
        // 0700, or, behind a link, the mode the folder had (0755).
        QCOMPARE(QFile(folder).permissions() & 0x7077,
                 QFileDevice::Permissions(QFileInfo(folder).isSymLink() ? 0x7055 : 0x7000));
        const auto sent = second.recorded(u"LIST@example.jp"_s, document);
        QCOMPARE(sent.size(), 2);
        QVERIFY(sent[0].at == at && sent[1].at == at && sent[0].confirmed && !sent[1].confirmed);
        const QByteArray record = readFile(first.recordFile());
        QCOMPARE(QFile(first.recordFile()).permissions() & 0x7077,
                 QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(record.count('\n') == 3 && !record.contains(document.toUtf8())
                && record.contains(SentCopies::digest(document)));
        QCOMPARE(readFile(folder + u"/record.unreadable"_s), aside.isEmpty() ? "" : "earlier\n");
        keepOnFullDisk(first, deliveries[0]);
    }

private:
    // On a full disk the record stays as it was, byte for byte, and a copy that does not fit
    // leaves nothing behind.
    static void keepOnFullDisk(SentFolder &copies, const SentCopies::Delivery &delivery)
    {
        const QByteArray record = readFile(copies.recordFile());
        const QDir folder = QFileInfo(copies.recordFile()).dir();
        const auto filter = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
        const QStringList before = folder.entryList(filter);
        std::optional<SentCopies::Failure> failures[2];
        {
            FileSizeLimit limit(record.size() + 8); // a part of the new line fits
            copies.keep("y", delivery);
            failures[0] = copies.lastFailure();
            copies.keep(QByteArray(record.size() + 9, 'z'), delivery);
            failures[1] = copies.lastFailure();
        }
        QVERIFY(failures[0] && failures[0]->what == SentCopies::Failure::Record);
        QVERIFY(failures[1] && failures[1]->what == SentCopies::Failure::File);
        QCOMPARE(readFile(copies.recordFile()), record);
        QCOMPARE(folder.entryList(filter).size(), before.size() + 1); // the copy of "y"
    }
};

QTEST_MAIN(TestSendOnce)
#include "tst_sendonce.moc"
