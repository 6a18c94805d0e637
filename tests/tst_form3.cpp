// The version-information window: its design, the homepage and support-mail buttons, focus.
#include "fakes.h"
#include "form3.h"
#include "maker.h"

#include <QPushButton>
#include <QTest>

class TestForm3 final : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeServices> m_fakes;
    std::unique_ptr<Form3> m_form;

    QWidget *get(const char *n) const
    {
        return m_form->findChild<QWidget *>(QString::fromLatin1(n));
    }

private Q_SLOTS:
    void init()
    {
        m_form.reset();
        m_fakes = std::make_unique<FakeServices>();
        m_form = std::make_unique<Form3>(m_fakes->services(), nullptr);
        m_form->show();
    }

    void designAndTabOrder()
    {
        QCOMPARE(m_form->size(), QSize(343, 237));
        QCOMPARE(get("Command2")->parentWidget(), get("Frame2"));
        QCOMPARE(get("Command2")->geometry(), QRect(16, 56, 273, 25));
        QCOMPARE(get("Command1")->palette().color(QPalette::Button), QColor(224, 224, 224));
        QCOMPARE(get("Command3")->font().pointSizeF(), 8.25);
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        for (const char *next : { "Command1", "Command2", "Command3", "Command1" }) {
            QCOMPARE(QApplication::focusWidget(), get(next));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
    }

    // The shell opens the address the button shows, the maker's homepage.
    void command1OpensHomepage()
    {
        const QByteArray homepage = "https://www.tavrinsoft.example/";
        QCOMPARE(static_cast<QPushButton *>(get("Command1"))->text().toLatin1(), homepage);
        QTest::mouseClick(get("Command1"), Qt::LeftButton);
        QCOMPARE(m_fakes->shell.calls,
                 QList<QList<QByteArray>>({ { "open", homepage, "", "", "1" } }));
        QVERIFY(!m_fakes->shell.calls[0][2].isNull() && !m_fakes->shell.calls[0][3].isNull());
    }

    void command2_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<bool>("failOnce");
        QTest::addColumn<QString>("log");
        const QString ok = u"SignOn,SessionID,SetSessionID=7,Compose,"
                           u"RecipDisplayName=TavrinSoftサポート(Zelvora Ver1.0),RecipAddress="_qs
            + Maker::supportAddress() + u",Send(True),SignOff"_qs;
        const QString warning = u",48|Zelvora|32003\rログオンに失敗しました。,SignOff"_qs;
        const QString topLevel = u",16|Zelvora|エラー 32003\rログオンに失敗しました。"_qs;
        QTest::newRow("error-free") << QString() << false << ok;
        QTest::newRow("sign-on fails") << u"SignOn"_qs << false << u"SignOn"_qs + warning;
        QTest::newRow("sign-off fails once") << u"SignOff"_qs << true << ok + warning;
        QTest::newRow("sign-off fails twice") << u"SignOff"_qs << false << ok + warning + topLevel;
    }
    void command2()
    {
        QFETCH(QString, failing);
        QFETCH(bool, failOnce);
        m_fakes->mail.failures.insert(
            failing, std::make_exception_ptr(Error { 32003, u"ログオンに失敗しました。"_qs }));
        m_fakes->mail.failOnce = failOnce;
        m_fakes->messageBox.onShow = [this] { // boxes join the log, in order
            const FakeMessageBox::Shown &box = m_fakes->messageBox.shown.last();
            m_fakes->mail.log << u"%1|%2|%3"_qs.arg(box.style).arg(box.title, box.prompt);
        };
        QTest::mouseClick(get("Command2"), Qt::LeftButton);
        QTEST(m_fakes->mail.log.join(u','), "log");
        QTest::mouseClick(get("Command3"), Qt::LeftButton); // the window carries on
        QVERIFY(!m_form->isVisible());
    }
};

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
