// The version-information window: its design, the homepage and support-mail buttons, focus and
// closing.
#include "about/form3.h"
#include "about/maker.h"
#include "fakes.h"
#include "platform/errorhandling.h"

#include <QPushButton>
#include <QTest>
#include <QWindow>

class TestForm3 final : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakeServices> m_fakes;
    std::unique_ptr<Form3> m_form;

    QWidget *get(const char *name) const
    {
        auto w = m_form->findChild<QWidget *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QString textOf(const char *name) const
    {
        const QVariant text = get(name)->property("text");
        return text.isValid() ? text.toString() : get(name)->property("title").toString();
    }
    void click(const char *name) { QTest::mouseClick(get(name), Qt::LeftButton); }
    // What a message box shows, as "style|title|prompt".
    static QStringList boxes(const QList<FakeMessageBox::Shown> &shown)
    {
        QStringList out;
        for (const auto &box : shown)
            out << QString::number(box.style) + u'|' + box.title + u'|' + box.prompt;
        return out;
    }

private Q_SLOTS:
    void init()
    {
        m_form.reset();
        m_fakes = std::make_unique<FakeServices>();
        m_form = std::make_unique<Form3>(m_fakes->services(), nullptr);
        m_form->show();
    }

    void design()
    {
        QCOMPARE(m_form->windowTitle(), u"バージョン情報"_qs);
        QCOMPARE(m_form->size(), QSize(343, 237));
        QCOMPARE(m_form->minimumSize(), m_form->maximumSize());
        QCOMPARE(m_form->windowFlags() & (Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
                 Qt::WindowCloseButtonHint);
        QCOMPARE(m_form->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(textOf("Frame1"), u"Zelvora  Version 1.0"_qs);
        QCOMPARE(textOf("Frame2"), u"サポート情報"_qs);
        QCOMPARE(textOf("Command1"), Maker::homepageAddress());
        QCOMPARE(textOf("Command2"), Maker::supportAddress());
        QCOMPARE(textOf("Label2"), Maker::notice());
        QCOMPARE(get("Label1")->parentWidget(), get("Frame1"));
        QCOMPARE(get("Line1")->geometry(), QRect(8, 48, 256, 1));
        QCOMPARE(get("Command2")->parentWidget(), get("Frame2"));
        QCOMPARE(get("Command2")->geometry(), QRect(16, 56, 273, 25));
        QCOMPARE(get("Command3")->geometry(), QRect(280, 208, 49, 17));
        QCOMPARE(get("Command2")->toolTip(), u"標準メールハンドラ出でメールを送る"_qs);
        QCOMPARE(get("Command1")->palette().color(QPalette::Button), QColor(224, 224, 224));
        QCOMPARE(get("Command3")->font().pointSizeF(), 8.25);
        QCOMPARE(get("Label2")->font().pointSizeF(), 9.0);
        // The notice sizes itself to its text around the middle of its design place.
        QVERIFY(qAbs(get("Label2")->geometry().center().x() - 172) <= 1);
        // The window owns its own pair of mail-handler controls.
        QCOMPARE(m_fakes->mail.sessionsCreated, 1);
        QCOMPARE(m_fakes->mail.messagesCreated, 1);
    }

    void command1OpensHomepage()
    {
        click("Command1");
        QCOMPARE(m_fakes->shell.calls.size(), 1);
        const FakeShell::Call call = m_fakes->shell.calls.first();
        QCOMPARE(call.window, m_form->winId());
        QCOMPARE(call.operation, QByteArray("open"));
        QCOMPARE(call.file, Maker::homepageAddress().toLocal8Bit());
        QVERIFY(call.parameters.isEmpty() && !call.parameters.isNull());
        QVERIFY(call.directory.isEmpty() && !call.directory.isNull());
        QCOMPARE(call.showCommand, 1);
    }

    void command2_data()
    {
        QTest::addColumn<QStringList>("failing");
        QTest::addColumn<bool>("failOnce");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QStringList>("boxes");

        const QStringList full { u"SignOn"_qs,
                                 u"SessionID"_qs,
                                 u"SetSessionID=7"_qs,
                                 u"Compose"_qs,
                                 u"RecipDisplayName=TavrinSoftサポート(Zelvora Ver1.0)"_qs,
                                 u"RecipAddress="_qs + Maker::supportAddress(),
                                 u"Send(True)"_qs,
                                 u"SignOff"_qs };
        const QString warning = u"48|Zelvora|32003\rログオンに失敗しました。"_qs;
        FakeMessageBox topLevel;
        ErrorHandling::reportUntrapped(topLevel, { 32003, u"ログオンに失敗しました。"_qs });

        QTest::newRow("error-free") << QStringList() << false << full << QStringList();
        QTest::newRow("sign-on fails")
            << QStringList { u"SignOn"_qs } << false << QStringList { u"SignOn"_qs, u"SignOff"_qs }
            << QStringList { warning };
        QTest::newRow("compose fails")
            << QStringList { u"Compose"_qs } << false
            << full.mid(0, 4) + QStringList { u"SignOff"_qs } << QStringList { warning };
        QTest::newRow("send fails")
            << QStringList { u"Send(True)"_qs } << false << full << QStringList { warning };
        QTest::newRow("sign-off fails once")
            << QStringList { u"SignOff"_qs } << true << full + QStringList { u"SignOff"_qs }
            << QStringList { warning };
        // The trap is spent: the second sign-off's error goes to the top-level handling.
        QTest::newRow("sign-off fails twice")
            << QStringList { u"SignOff"_qs } << false << full + QStringList { u"SignOff"_qs }
            << QStringList { warning } + boxes(topLevel.shown);
    }
    void command2()
    {
        QFETCH(QStringList, failing);
        QFETCH(bool, failOnce);
        for (const QString &op : failing)
            m_fakes->mail.failures.insert(op, { 32003, u"ログオンに失敗しました。"_qs });
        m_fakes->mail.failOnce = failOnce;
        click("Command2");
        QTEST(m_fakes->mail.log, "log");
        QTEST(boxes(m_fakes->messageBox.shown), "boxes");

        // The window carries on.
        click("Command3");
        QVERIFY(!m_form->isVisible());
    }

    void tabMovesAmongButtons()
    {
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        QCOMPARE(QApplication::focusWidget(), get("Command1"));
        for (const char *next : { "Command2", "Command3", "Command1" }) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), get(next));
        }
    }

    // "OK" and the close box close the window, Escape does not. The main window's test shows
    // it modally.
    void closing_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("OK") << false;
        QTest::newRow("close box") << true;
    }
    void closing()
    {
        QTest::keyClick(m_form.get(), Qt::Key_Escape);
        QVERIFY(m_form->isVisible());
        QFETCH(bool, closeBox);
        if (closeBox)
            m_form->windowHandle()->close();
        else
            click("Command3");
        QVERIFY(!m_form->isVisible());
    }
};

QTEST_MAIN(TestForm3)
#include "tst_form3.moc"
