// "標準メールハンドラで メッセージ送信" with a recording mail handler: the order and values of
// the operations, sign-off after every trapped error, one warning box, and a window that keeps
// its fields whatever happens.
#include "app/form1.h"
#include "fakes.h"
#include "platform/textbox.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QTest>

namespace {

const QString Name = u"山田 太郎"_qs;
const QString Address = u"taro@example.jp"_qs;
const QString Body = u"今週の　お知らせ（＾0＾）\r\n.\r\n末尾  "_qs;

QStringList sequence(const QString &address)
{
    return { u"SignOn"_qs,
             u"SessionID"_qs,
             u"SetSessionID=7"_qs,
             u"Compose"_qs,
             u"RecipDisplayName="_qs + Name,
             u"RecipAddress="_qs + address,
             u"MsgSubject=メルマガ配信"_qs,
             u"MsgNoteText="_qs + Body,
             u"Send(False)"_qs,
             u"SignOff"_qs };
}

} // namespace

class TestForm1Sending final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void sendsTheDocument();
    void trappedError_data();
    void trappedError();
    void untrappedError_data();
    void untrappedError();

private:
    QWidget *get(const QString &name) const
    {
        auto w = m_form->findChild<QWidget *>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    // Typed the way a Japanese input method delivers text: one committed string.
    void type(const QString &name, const QString &text)
    {
        QWidget *w = get(name);
        w->setFocus();
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(w, &commit);
    }
    void click(const QString &name)
    {
        QTest::mouseClick(static_cast<QPushButton *>(get(name)), Qt::LeftButton);
    }
    QStringList fields() const
    {
        return { ControlText::text(get(u"Text8"_qs)), ControlText::text(get(u"Text10"_qs)),
                 ControlText::text(get(u"Text"_qs)) };
    }

    std::unique_ptr<FakeServices> m_fakes;
    std::unique_ptr<Form1> m_form;
};

void TestForm1Sending::init()
{
    m_fakes = std::make_unique<FakeServices>();
    m_form = std::make_unique<Form1>(m_fakes->services(), nullptr);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));

    type(u"Text8"_qs, Name);
    type(u"Text10"_qs, Address);
    click(u"Command4"_qs); // "作成文書の消去", then the sender writes the document by hand
    type(u"Text"_qs, u"今週の　お知らせ（＾0＾）"_qs);
    QTest::keyClick(get(u"Text"_qs), Qt::Key_Return);
    type(u"Text"_qs, u"."_qs);
    QTest::keyClick(get(u"Text"_qs), Qt::Key_Return);
    type(u"Text"_qs, u"末尾  "_qs);
    QCOMPARE(fields(), (QStringList { Name, Address, Body }));
}

void TestForm1Sending::cleanup()
{
    m_form.reset();
    m_fakes.reset();
}

void TestForm1Sending::sendsTheDocument()
{
    click(u"Command9"_qs);
    QCOMPARE(m_fakes->mail.log, sequence(Address));
    QVERIFY(m_fakes->messageBox.shown.isEmpty());

    // The same document again, to another recipient.
    m_fakes->mail.log.clear();
    get(u"Text10"_qs)->setFocus();
    QTest::keyClick(get(u"Text10"_qs), Qt::Key_A, Qt::ControlModifier);
    type(u"Text10"_qs, u"hanako@example.jp"_qs);
    click(u"Command9"_qs);
    QCOMPARE(m_fakes->mail.log, sequence(u"hanako@example.jp"_qs));
    QCOMPARE(m_fakes->mail.sessionsCreated, 1);
}

void TestForm1Sending::trappedError_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("steps"); // operations logged up to the failing one
    QTest::addColumn<qint32>("number");
    QTest::newRow("SessionID") << u"SessionID"_qs << 2 << qint32(MapiError::NoValidSession);
    QTest::newRow("SetSessionID") << u"SetSessionID"_qs << 3 << qint32(MapiError::InvalidSession);
    QTest::newRow("Compose") << u"Compose"_qs << 4 << qint32(MapiError::InsufficientMemory);
    QTest::newRow("RecipDisplayName") << u"RecipDisplayName"_qs << 5 << qint32(-2147467259);
    QTest::newRow("RecipAddress") << u"RecipAddress"_qs << 6
                                  << qint32(MapiError::InvalidRecipients);
    QTest::newRow("MsgSubject") << u"MsgSubject"_qs << 7 << qint32(MapiError::Failure);
    QTest::newRow("MsgNoteText") << u"MsgNoteText"_qs << 8 << qint32(MapiError::TextTooLarge);
    QTest::newRow("Send") << u"Send(False)"_qs << 9 << qint32(MapiError::UnknownRecipient);
}

void TestForm1Sending::trappedError()
{
    QFETCH(QString, operation);
    QFETCH(int, steps);
    QFETCH(qint32, number);
    m_fakes->mail.failures.insert(operation, Error { number, u"宛先が見つかりません。\n詳細"_qs });
    click(u"Command9"_qs);

    QCOMPARE(m_fakes->mail.log, sequence(Address).mid(0, steps) << u"SignOff"_qs);
    QCOMPARE(m_fakes->messageBox.shown.size(), 1);
    const FakeMessageBox::Shown box = m_fakes->messageBox.shown.first();
    QCOMPARE(box.prompt, QString::number(number) + u"\r宛先が見つかりません。\n詳細"_qs);
    QCOMPARE(box.style, 48);
    QCOMPARE(box.title, u"Zelvora"_qs);
    QCOMPARE(fields(), (QStringList { Name, Address, Body }));
}

void TestForm1Sending::untrappedError_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("SignOn") << u"SignOn"_qs << QStringList { u"SignOn"_qs };
    QTest::newRow("SignOff") << u"SignOff"_qs << sequence(Address);
}

void TestForm1Sending::untrappedError()
{
    QFETCH(QString, operation);
    QFETCH(QStringList, log);
    const Error error { MapiError::LoginFailure, u"メール転送プログラムが見つかりません。"_qs };
    m_fakes->mail.failures.insert(operation, error);
    m_fakes->mail.failOnce = true;
    click(u"Command9"_qs);

    // The top-level handling, not the warning box of the trap.
    QCOMPARE(m_fakes->mail.log, log);
    QCOMPARE(m_fakes->messageBox.shown.size(), 1);
    const FakeMessageBox::Shown box = m_fakes->messageBox.shown.first();
    QCOMPARE(box.style, int(MessageBox::Critical));
    QCOMPARE(box.title, u"Zelvora"_qs);
    QVERIFY(box.prompt.contains(QString::number(error.number)));
    QVERIFY(box.prompt.contains(error.description));

    // The window is still there, with everything the sender wrote, and the next click sends.
    QVERIFY(m_form->isVisible());
    QCOMPARE(fields(), (QStringList { Name, Address, Body }));
    m_fakes->mail.log.clear();
    click(u"Command9"_qs);
    QCOMPARE(m_fakes->mail.log, sequence(Address));
    QCOMPARE(m_fakes->messageBox.shown.size(), 1);
}

QTEST_MAIN(TestForm1Sending)
#include "tst_form1sending.moc"
