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

    std::unique_ptr<FakeServices> m_fakes;
    std::unique_ptr<Form1> m_form;

    QWidget *get(const char *name) const { return child(m_form.get(), name); }
    void send() { click(m_form.get(), Role::Send); }

private Q_SLOTS:
    void init()
    {
        m_fakes = std::make_unique<FakeServices>();
        m_form = std::make_unique<Form1>(m_fakes->services(), nullptr);
        m_form->show();
        ControlText::setText(get(Role::RecipientAddress), u"list@example.jp"_s);
    }
    void cleanup() { m_form.reset(); }

    // The window's initial text is no issue (other documents that are none: tst_mail refusal).
    void initialTextIsRefused()
    {
        send();
        QVERIFY(m_fakes->mail.sent.isEmpty());
        QVERIFY(m_fakes->messageBox.shown.value(0).prompt.startsWith(
            u"32017\r送信する文書がありません"_s));
    }

    void oneSend_data()
    {
        QTest::addColumn<bool>("mouse");
        QTest::newRow("double click") << true;
        QTest::newRow("Enter held") << false;
    }
    // A double click, or Enter held unseen by the toolkit, sends once and asks nothing.
    void oneSend()
    {
        QFETCH(bool, mouse);
        ControlText::setText(get(Role::Document), u"本文"_s);
        QWidget *button = get(Role::Send);
        if (mouse) { // as the window system delivers it: press, release, double-click, release
            QTest::mouseClick(button, Qt::LeftButton);
            const QPointF at = button->rect().center();
            QMouseEvent second(QEvent::MouseButtonDblClick, at, button->mapToGlobal(at),
                               Qt::LeftButton, Qt::LeftButton, {});
            QApplication::sendEvent(button, &second);
            QTest::mouseRelease(button, Qt::LeftButton);
        } else { // Enter: a release and a press at one moment are the key still held
            for (const auto &[type, time] : { std::pair { QEvent::KeyPress, 1000 },
                                              { QEvent::KeyRelease, 1660 },
                                              { QEvent::KeyPress, 1660 } }) {
                QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier);
                key.setTimestamp(time);
                QApplication::sendEvent(button, &key);
            }
        }
        QCOMPARE(m_fakes->mail.sent.size(), 1);
        QVERIFY(m_fakes->messageBox.asked.isEmpty());
    }

    // Told after each send, by a notification or else a note in the window; not after a failure.
    void successIsTold_data()
    {
        // copyFailure: a SentCopies::Failure::What; -1: kept; said: in what is told
        columns<bool, bool, int, QString>({ "service", "fails", "copyFailure", "said" });
        QTest::newRow("notification")
            << true << false << -1
            << u"メールマガジンを送信しました\n10:15 に 読者 <list@example.jp> 宛て"_s;
        QTest::newRow("notification, no copies' folder")
            << true << false << int(SentCopies::Failure::Folder)
            << u"控えは保存できませんでした: 控えのフォルダー /home/u/sent を作れませんでした。"_s;
        QTest::newRow("note, copy not written")
            << false << false << int(SentCopies::Failure::File)
            << u"控えは保存できませんでした: 控え /home/u/sent を書けませんでした（空きがありません）。"_s;
        QTest::newRow("failed send") << false << true << -1 << QString();
    }
    void successIsTold()
    {
        QFETCH(bool, service);
        QFETCH(bool, fails);
        QFETCH(int, copyFailure);
        m_fakes->notifier.answering = service;
        if (fails)
            m_fakes->mail.failure = Error { 32002, u"no"_s };
        if (copyFailure >= 0)
            m_fakes->sentCopies.failure = { SentCopies::Failure::What(copyFailure),
                                            u"/home/u/sent"_s, u"空きがありません"_s };
        ControlText::setText(get(Role::RecipientName), u"読者"_s);
        ControlText::setText(get(Role::Document), u"本文"_s);
        send();
        QCOMPARE(m_fakes->notifier.notified.size(), fails ? 0 : 1);
        auto note = m_form->findChild<QLabel *>(u"StatusNote"_s);
        QCOMPARE(note->isVisible(), !service && !fails);
        if (fails)
            return;
        const QString told = service ? m_fakes->notifier.notified[0] : note->text();
        QFETCH(QString, said);
        QVERIFY2(told.contains(said), qPrintable(told));
        QCOMPARE(told.contains(u"控え"_s), copyFailure >= 0);
        if (service)
            return;
        QVERIFY(!note->isWindow());
        QCOMPARE(note->focusPolicy(), Qt::NoFocus);
        QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(note);
        QCOMPARE(spoken->role(), QAccessible::StatusBar);
        QCOMPARE(spoken->text(QAccessible::Name), note->text());
        QTRY_VERIFY_WITH_TIMEOUT(!note->isVisible(), StatusNote::ShownForMs + 2000);
    }

    // One 0600 file a send in a 0700 folder, a record without the text; failures leave the rest.
    void copiesOfSentIssues_data()
    {
        // make: $0: the folder above the copies' folder, $0/sent unless folder says otherwise;
        // fails: what every keep() fails with; -1: nothing; aside: where an unreadable record goes
        columns<QString, QString, int, QString>({ "make", "folder", "fails", "aside" });
        const QString unreadable
            = u"mkdir $0/sent && echo earlier >$0/sent/record.unreadable && "_s;
        const QString none, aside = u"record.unreadable-2"_s;
        QTest::newRow("a new folder") << none << none << -1 << none;
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
        QCOMPARE(QDir(folder).entryList({ u"*.eml"_s }, QDir::Files).size(), messages.size());
        for (int i = 0; i < messages.size(); ++i) { // 2026-12-07_101500.eml, then -2.eml, -3.eml
            const QString eml
                = u"%1/2026-12-07_101500%2.eml"_s.arg(folder, i ? u"-%1"_s.arg(i + 1) : QString());
            QCOMPARE(QFile(eml).permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
            QCOMPARE(readFile(eml), messages[i]);
        }
        QCOMPARE(QFile(folder).permissions() & 0x7077, QFileDevice::Permissions(0x7000));
        const auto sent = second.recorded(u"LIST@example.jp"_s, document);
        QCOMPARE(sent.size(), 2);
        QVERIFY(sent[0].at == at && sent[1].at == at && sent[0].confirmed && !sent[1].confirmed);
        const QByteArray record = readFile(first.recordFile());
        QCOMPARE(QFile(first.recordFile()).permissions() & 0x7077,
                 QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(record.count('\n') == 3 && !record.contains(document.toUtf8())
                && record.contains(SentCopies::digest(document)));
        QCOMPARE(readFile(folder + u"/record.unreadable"_s), aside.isEmpty() ? "" : "earlier\n");
        // On a full disk the record stays as it was, and a copy that does not fit leaves nothing.
        const auto all = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
        const qsizetype entries = QDir(folder).entryList(all).size();
        int full[2];
        {
            FileSizeLimit limit(record.size() + 8); // a part of the new line fits
            first.keep("y", deliveries[0]);
            full[0] = failed(first);
            first.keep(QByteArray(record.size() + 9, 'z'), deliveries[0]);
            full[1] = failed(first);
        }
        QCOMPARE(full[0], int(SentCopies::Failure::Record));
        QCOMPARE(full[1], int(SentCopies::Failure::File));
        QCOMPARE(readFile(first.recordFile()), record);
        QCOMPARE(QDir(folder).entryList(all).size(), entries + 1); // the copy of "y"
    }
};

QTEST_MAIN(TestSendOnce)
#include "tst_sendonce.moc"
