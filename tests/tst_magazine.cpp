// The magazine as a series, through the real window, the real transport hand-off to a stand-in
// sendmail and the real copies folder: two weeks of issues, a test before the real send, the
// backnumbers of a folder with broken copies among them.
#include "backnumbers.h"
#include "backnumberwindow.h"
#include "fakes.h"
#include "filesendersettings.h"
#include "form1.h"
#include "magazine.h"
#include "nextissue.h"
#include "qtsenderdialog.h"
#include "roles.h"
#include "sentfolder.h"
#include "textbox.h"
#include "unixmailhandler.h"
#include "windowtest.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {
const QString List = u"list@example.jp"_s;
const QString Placeholder = u"作成した文書がこの欄に表示されます。"_s;
} // namespace

class TestMagazine final : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_home;
    FakeServices m_fakes;
    std::unique_ptr<SentFolder> m_folder;
    std::unique_ptr<UnixMailHandler> m_mail;
    std::unique_ptr<Form1> m_form;

    QString path(const QString &name) const { return m_home->filePath(name); }
    QWidget *get(const char *role) const { return child(m_form.get(), role); }
    QString text(const char *role) const { return ControlText::text(get(role)); }
    void set(const char *role, const QString &text) { ControlText::setText(get(role), text); }
    void choose(const char *menuItem) { child<QAction>(m_form.get(), menuItem)->trigger(); }
    Magazine *magazine() const { return m_form->findChild<Magazine *>(); }
    QByteArray received() const { return readFile(path(u"received"_s)); }

    // This week's issue: a body, shown as the document, sent to the list.
    void writeAndSend(const QString &body)
    {
        set(Role::Body, body);
        click(m_form.get(), Role::ShowDocument);
        click(m_form.get(), Role::Send);
    }

    BacknumberWindow *openBacknumbers()
    {
        choose("mnuBacknumbers");
        BacknumberWindow *window = magazine()->backnumbers();
        QSignalSpy listed(window, &BacknumberWindow::listed);
        return listed.wait(10000) ? window : nullptr;
    }

private Q_SLOTS:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(writeFile(path(u"sendmail"_s), "#!/bin/sh\ncat > \"$(dirname \"$0\")/received\"\n",
                          true));
        m_folder
            = std::make_unique<SentFolder>(path(u"sent"_s), [this] { return m_fakes.clock.now; });
        UnixMailHandler::Options options;
        options.sendmailCandidates = { path(u"sendmail"_s) };
        m_mail = std::make_unique<UnixMailHandler>(options, nullptr, m_folder.get());
        m_fakes.messageBox = {};
        m_fakes.notifier = {};
        m_fakes.sender = {};
        m_fakes.clock.now = { QDate(2026, 11, 30), QTime(9, 0) };
        Services services = m_fakes.services();
        services.mail = m_mail.get();
        services.sentCopies = m_folder.get();
        m_form = std::make_unique<Form1>(services, nullptr);
        m_form->show();
        set(Role::DateBox, NextIssue::dateText(m_fakes.clock.now.date()));
        set(Role::HomepageLine, u"Homepage  : https://example.jp/"_s);
        set(Role::RecipientAddress, List);
        set(Role::IssueLabel, u"第12号"_s);
        click(m_form.get(), Role::FillIssueLine);
    }
    void cleanup() { m_form.reset(); }

    void nextNumber_data()
    {
        columns<QString, QString>({ "label", "next" });
        QTest::newRow("ASCII") << u"第12号"_s << u"第13号"_s;
        QTest::newRow("fullwidth, padded") << u"第０９号"_s << u"第１０号"_s;
        QTest::newRow("padded, carried") << u"Vol.099"_s << u"Vol.100"_s;
        QTest::newRow("grows a digit") << u"第99号"_s << u"第100号"_s;
        QTest::newRow("the last number, no carry") << u"2026年 第18号"_s << u"2026年 第19号"_s;
        QTest::newRow("no number") << u"号外"_s << u"号外"_s;
    }
    void nextNumber()
    {
        QFETCH(QString, label);
        QTEST(NextIssue::numberUp(label), "next");
    }

    // Two weeks: 第12号 and 第13号 made one from the other, then read back and the next begun.
    void twoWeeks()
    {
        writeAndSend(u"今週の話\r\n二行目"_s);
        m_fakes.clock.now = m_fakes.clock.now.addDays(7);
        choose("mnuNextIssue");
        QVERIFY2(m_fakes.messageBox.asked.isEmpty(), "a sent issue is no unsent work");
        const QString today = NextIssue::dateText(m_fakes.clock.now.date());
        QCOMPARE(text(Role::IssueLabel), u"第13号"_s);
        QCOMPARE(text(Role::IssueLine), today + u"\r\n第13号"_s);
        QCOMPARE(text(Role::DateBox), today);
        QCOMPARE(text(Role::Body), QString());
        QCOMPARE(text(Role::Document), Placeholder);
        QCOMPARE(text(Role::HomepageLine), u"Homepage  : https://example.jp/"_s);
        QCOMPARE(text(Role::RecipientAddress), List);
        writeAndSend(u"来週の話"_s);
        const QString sent13 = text(Role::Document);

        BacknumberWindow *window = openBacknumbers();
        QVERIFY(window);
        auto list = window->findChild<QListWidget *>();
        QCOMPARE(list->count(), 2);
        QTRY_COMPARE(QApplication::focusWidget(), list);
        QVERIFY(list->item(0)->text().contains(u"第13号"_s)
                && list->item(0)->text().contains(u"来週の話"_s));
        auto issueText = window->findChild<TextBox *>(u"issueText"_s);
        QTRY_COMPARE(issueText->text(), sent13);
        QTest::keyClick(list, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), issueText);
        QTest::keyClick(issueText, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(issueText, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), sent13);
        QTest::keyClick(list, Qt::Key_Down);
        QVERIFY(list->currentItem()->text().contains(u"第12号"_s));

        // From 第13号 again: 第14号, and what the window held can come back.
        set(Role::Body, u"書きかけ"_s);
        list->setCurrentRow(0);
        m_fakes.messageBox.answers = { 0 };
        click(window, "nextIssue");
        QCOMPARE(m_fakes.messageBox.asked.size(), 1);
        QCOMPARE(text(Role::IssueLabel), u"第14号"_s);
        QCOMPARE(text(Role::Body), QString());
        auto undo = m_form->findChild<QPushButton *>(u"undoButton"_s);
        QVERIFY(undo && undo->isVisible());
        undo->click();
        QCOMPARE(text(Role::Body), u"書きかけ"_s);
        QCOMPARE(text(Role::IssueLabel), u"第13号"_s);
    }

    // A long line sent last week is still long, but the author decided on it then.
    void longLineSentBefore_data()
    {
        columns<QString, int>({ "thisWeek", "questions" });
        const QString longLine = QString(38, u'あ');
        QTest::newRow("the same line") << longLine + u"\r\n今週"_s << 0;
        QTest::newRow("another") << longLine + u"\r\n"_s + QString(38, u'い') << 1;
    }
    void longLineSentBefore()
    {
        m_fakes.messageBox.answers = { 0 }; // 送信する
        writeAndSend(QString(38, u'あ'));
        QCOMPARE(m_fakes.messageBox.asked.size(), 1);
        choose("mnuNextIssue");
        m_fakes.messageBox.asked.clear();
        m_fakes.messageBox.answers = { 0 };
        QFETCH(QString, thisWeek);
        writeAndSend(thisWeek);
        QTEST(int(m_fakes.messageBox.asked.size()), "questions");
        QCOMPARE(Backnumbers::files(path(u"sent"_s)).size(), 2);
    }

    // A test to the author first, then the real issue to the list, both from the author.
    void testBeforeTheRealSend()
    {
        set(Role::EmailLine, u"E-mail    　 : me@example.jp"_s);
        click(m_form.get(), Role::ShowDocument);
        m_fakes.sender.answer = Sender { u"me@example.jp"_s, u"発行人"_s };
        choose("mnuTestSend");
        QCOMPARE(m_fakes.sender.offers.value(0).address, u"me@example.jp"_s);
        const QByteArray test = received();
        QVERIFY(test.contains("\nTo: =?UTF-8?B?55m66KGM5Lq6?= <me@example.jp>\n"));
        QVERIFY(test.contains("Subject: =?UTF-8?B?W+ODhuOCueODiF0g44Oh44Or44Oe44Ks6YWN5L+h?="));
        const QString told = m_fakes.notifier.notified.value(0);
        QVERIFY(told.startsWith(u"テスト送信しました\n"_s) && told.contains(u"me@example.jp"_s));
        QVERIFY(Backnumbers::files(path(u"sent"_s)).isEmpty()
                && !QFile::exists(path(u"sent/record"_s)));

        click(m_form.get(), Role::Send);
        QVERIFY2(m_fakes.messageBox.asked.isEmpty(), "the test asks nothing of the real send");
        const QByteArray issue = received();
        QVERIFY(issue.startsWith("From: =?UTF-8?B?55m66KGM5Lq6?= <me@example.jp>\n"));
        QVERIFY(issue.contains("Subject: =?UTF-8?B?44Oh44Or44Oe44Ks6YWN5L+h?="));
        QCOMPARE(Backnumbers::files(path(u"sent"_s)).size(), 1);
    }

    // Whatever lies in the folder, the window opens, lists all of it and says what it could
    // not read.
    void brokenFolder()
    {
        writeAndSend(u"無事な号"_s);
        const QString sent = path(u"sent/"_s);
        const QString good = Backnumbers::files(sent).value(0);
        const QByteArray copy = readFile(good);
        QVERIFY(writeFile(sent + u"2026-01-01_000000.eml"_s, copy.left(copy.size() - 7))); // cut
        QVERIFY(writeFile(sent + u"2026-01-02_000000.eml"_s, "just some text\nwithout headers"));
        QVERIFY(writeFile(sent + u"not a date.eml"_s, copy));
        QVERIFY(writeFile(sent + u"2026-01-03_000000.eml"_s,
                          "To: a@b\nContent-Type: text/plain; charset=x-no\n\nabc"));
        QVERIFY(QFile::link(good, sent + u"link.eml"_s));
        QVERIFY(mkfifo(QFile::encodeName(sent + u"pipe.eml"_s).constData(), 0600) == 0);
        BacknumberWindow *window = openBacknumbers();
        QVERIFY(window);
        auto list = window->findChild<QListWidget *>();
        QCOMPARE(list->count(), 7);
        QStringList unreadable;
        for (int row = 0; row < list->count(); ++row)
            if (list->item(row)->text().contains(u"読めません"_s))
                unreadable.append(list->item(row)->text());
        QCOMPARE(unreadable.size(), 5);
        QVERIFY(window->findChild<QLabel *>(u"status"_s)->text().contains(u"5 件は読めません"_s));

        // A body not sent yet is asked about, and いいえ keeps it.
        click(m_form.get(), Role::EraseDocument);
        set(Role::Body, u"書きかけ"_s);
        m_fakes.messageBox.answers = { 1 };
        choose("mnuNextIssue");
        QCOMPARE(m_fakes.messageBox.asked.size(), 1);
        QCOMPARE(text(Role::Body), u"書きかけ"_s);
    }

    // The author's address: asked in a small window with the focus in the address field, kept
    // for the author alone, read back.
    void authorsAddress()
    {
        QtSenderDialog dialog;
        QStringList said;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            QWidget *window = QApplication::activeModalWidget();
            if (!window)
                return;
            poll.stop();
            auto *address = qobject_cast<QLineEdit *>(window->focusWidget());
            said << window->windowTitle() << (address ? address->objectName() : QString());
            if (!address) {
                window->close();
                return;
            }
            address->setText(u"me@@example.jp"_s);
            QTest::keyClick(address, Qt::Key_Return);
            said << window->findChild<QLabel *>(u"problem"_s)->text();
            address->setText(u"me@example.jp"_s);
            QTest::keyClick(address, Qt::Key_Return);
        });
        poll.start(10);
        const auto sender = dialog.ask({ u"x@example.jp"_s, u"発行人"_s }, [](const Sender &s) {
            return s.address.count(u'@') == 1 ? QString() : u"wrong"_s;
        });
        QCOMPARE(said, (QStringList { u"Zelvora"_s, u"address"_s, u"wrong"_s }));
        QVERIFY(sender);
        QCOMPARE(*sender, (Sender { u"me@example.jp"_s, u"発行人"_s }));

        FileSenderSettings settings(path(u"config/zelvora"_s), { path(u"none"_s) });
        QVERIFY(!settings.load());
        QCOMPARE(settings.save(*sender), std::nullopt);
        QCOMPARE(settings.load(), sender);
        QCOMPARE(QFile(settings.location()).permissions() & 0x7077,
                 QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(QFile(path(u"config/zelvora"_s)).permissions() & 0x7077,
                 QFileDevice::Permissions(0x7000));
        QCOMPARE(settings.transportSender(), QString());
    }

    // The author's address offered from the transport where the E-mail field holds none.
    void msmtpSender_data()
    {
        columns<QByteArray, QString>({ "configuration", "sender" });
        QTest::newRow("defaults") << QByteArray("defaults\nfrom a@x.jp\naccount w\nhost h\n")
                                  << u"a@x.jp"_s;
        QTest::newRow("default account named")
            << QByteArray("account w\nfrom w@x.jp\naccount p\nfrom p@x.jp\naccount default : p\n")
            << u"p@x.jp"_s;
        QTest::newRow("first account") << QByteArray("account w\nfrom w@x.jp\n") << u"w@x.jp"_s;
        QTest::newRow("none") << QByteArray("account w\nhost h\n") << QString();
    }
    void msmtpSender()
    {
        QFETCH(QByteArray, configuration);
        QTEST(FileSenderSettings::msmtpSender(configuration), "sender");
        QTEST(Sender::offered(u"E-mail    　 :"_s, FileSenderSettings::msmtpSender(configuration)),
              "sender");
    }
};

QTEST_MAIN(TestMagazine)
#include "tst_magazine.moc"
