// Sent once, and the author knows it, through the real window: what is no issue is refused, the
// same issue twice is asked about once it went out, a double-click is one click, success and a
// copy that could not be kept are told without a click, and every issue sent is kept as an .eml
// file.
#include "fakes.h"
#include "form1.h"
#include "roles.h"
#include "sentfolder.h"
#include "statusnote.h"
#include "textbox.h"

#include <QAccessible>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSendOnce final : public QObject
{
    Q_OBJECT

    FakeServices m_fakes;
    FakeSentCopies m_copies;
    std::unique_ptr<Form1> m_form;

    QWidget *get(const char *name) const
    {
        return m_form->findChild<QWidget *>(QString::fromLatin1(name));
    }
    void send() { QTest::mouseClick(get(Role::Send), Qt::LeftButton); }

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

    void noIssueIsRefused_data()
    {
        QTest::addColumn<bool>("assemble");
        QTest::addColumn<QString>("document"); // null: as the window opens
        QTest::newRow("initial text") << false << QString();
        QTest::newRow("white space only") << false << u" \r\n\t\u3000\u00A0\r\n"_s;
        QTest::newRow("assembled") << true << QString();
    }
    void noIssueIsRefused()
    {
        QFETCH(bool, assemble);
        QFETCH(QString, document);
        if (assemble)
            QTest::mouseClick(get(Role::ShowDocument), Qt::LeftButton);
        if (!document.isNull())
            ControlText::setText(get(Role::Document), document);
        const QString before = ControlText::text(get(Role::Document));
        const bool anIssue = assemble || document.contains(u'x');
        send();
        QCOMPARE(m_fakes.mail.sent.size(), anIssue ? 1 : 0);
        QCOMPARE(m_fakes.messageBox.shown.size(), anIssue ? 0 : 1);
        if (!anIssue)
            QVERIFY(m_fakes.messageBox.shown[0].prompt.startsWith(
                u"32017\r送信する文書がありません"_s));
        QCOMPARE(ControlText::text(get(Role::Document)), before);
    }

    // The same issue again is asked about in the window's message box, and only once it went out:
    // a failed send is no send. いいえ, the default, sends nothing.
    void sentIssueIsAskedAbout_data()
    {
        QTest::addColumn<bool>("firstFails");
        QTest::addColumn<QList<int>>("answers"); // empty: Enter or Escape
        QTest::addColumn<int>("sends"); // the second time
        QTest::newRow("sent, default answer") << false << QList<int>() << 0;
        QTest::newRow("sent, はい") << false << QList { 0 } << 1;
        QTest::newRow("failed") << true << QList<int>() << 1;
    }
    void sentIssueIsAskedAbout()
    {
        QFETCH(bool, firstFails);
        QFETCH(QList<int>, answers);
        ControlText::setText(get(Role::Document), u"第1号\r\n本文"_s);
        if (firstFails)
            m_fakes.mail.failure = Error { 32002, u"no"_s };
        send();
        QCOMPARE(m_fakes.mail.sent.size(), 1);
        m_fakes.mail.failure.reset();
        m_fakes.mail.sent.clear();
        m_fakes.clock.now = m_fakes.clock.now.addSecs(9 * 60);
        m_fakes.messageBox.answers = answers;
        send();
        QTEST(int(m_fakes.mail.sent.size()), "sends");
        QCOMPARE(m_fakes.messageBox.asked.size(), firstFails ? 0 : 1);
        if (firstFails)
            return;
        const FakeMessageBox::Asked &asked = m_fakes.messageBox.asked[0];
        QCOMPARE(asked.question,
                 u"この文書は 10:15 に同じ宛先へ送信済みです。もう一度送信しますか？"_s);
        QCOMPARE(asked.buttons, QStringList({ u"はい"_s, u"いいえ"_s }));
        QCOMPARE(asked.defaultButton, 1);
        QCOMPARE(asked.escapeButton, 1);
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
        QTest::addColumn<bool>("service");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<bool>("copyFails");
        QTest::newRow("notification") << true << false << false;
        QTest::newRow("note") << false << false << false;
        QTest::newRow("notification, no copy") << true << false << true;
        QTest::newRow("note, no copy") << false << false << true;
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

    // One file a send, named by the local date and time, a suffix for the same second; 0600 in
    // a 0700 folder; the bytes as given.
    void copiesOfSentIssues()
    {
        QTemporaryDir home;
        const QString folder = home.filePath(u"zelvora/sent"_s);
        const QDateTime at(QDate(2026, 12, 7), QTime(10, 15));
        SentFolder copies(folder, [&] { return at; });
        const QList<QByteArray> messages { "To: a\n\nfirst\n", QByteArray("\0\r\n", 3), "x" };
        for (const QByteArray &message : messages) {
            copies.keep(message);
            QVERIFY(!copies.lastFailure());
        }
        const QStringList names { u"2026-12-07_101500.eml"_s, u"2026-12-07_101500-2.eml"_s,
                                  u"2026-12-07_101500-3.eml"_s };
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), names.size());
        for (int i = 0; i < names.size(); ++i) {
            QFile file(QDir(folder).filePath(names[i]));
            QCOMPARE(file.permissions() & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), messages[i]);
        }
        QCOMPARE(QFile(folder).permissions() & 0x7077,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // A folder that cannot be made: the failure is said, nothing is thrown.
        SentFolder blocked(home.filePath(u"zelvora/sent/2026-12-07_101500.eml/x"_s));
        blocked.keep("y");
        QCOMPARE(blocked.lastFailure().value_or(SentCopies::Failure {}).what,
                 SentCopies::Failure::Folder);
    }
};

QTEST_MAIN(TestSendOnce)
#include "tst_sendonce.moc"
