// The start-up: the main window's Load writes the date and puts the splash window up and down
// in order; the splash window's Unload holds it for more than five seconds on the clock.
#include "app/form1.h"
#include "app/form2.h"
#include "fakes.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

namespace {

const QDate Date { 2001, 5, 12 };

/// A splash window that only writes down what is done with it.
class FakeSplash final : public Splash
{
public:
    explicit FakeSplash(QStringList &log)
        : m_log(log)
    { }
    ~FakeSplash() override { m_log << u"release"_qs; }
    void show() override { m_log << u"show"_qs; }
    void refresh() override { m_log << u"refresh"_qs; }
    void unload() override { m_log << u"unload"_qs; }

private:
    QStringList &m_log;
};

QString dateBox(const Form1 &form1)
{
    return form1.findChild<QLineEdit *>(u"Text9"_qs)->text();
}

QWidget *topLevelForm2()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == u"Form2"_qs)
            return w;
    return nullptr;
}

/// A clock that notes, at each reading, whether the splash window is on the screen.
class WatchingClock final : public Clock
{
public:
    QDate currentDate() const override { return Date; }
    double seconds() const override
    {
        QWidget *form2 = topLevelForm2();
        splashShownAtEveryReading = splashShownAtEveryReading && form2 && form2->isVisible();
        return 6.0 * reads++;
    }
    mutable int reads = 0;
    mutable bool splashShownAtEveryReading = true;
};

// In a child process started with a locale in its environment: the date box after Load.
int printDateBox(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FakeServices fakes;
    QStringList log;
    Form1 form1(fakes.services(), [&] { return std::make_unique<FakeSplash>(log); });
    form1.load();
    QTextStream(stdout) << dateBox(form1);
    return 0;
}

} // namespace

class TestStartup final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void loadStepsInOrder();
    void dateFollowsSystemLocale_data();
    void dateFollowsSystemLocale();
    void waitIsStrictlyLongerThanFiveSeconds_data();
    void waitIsStrictlyLongerThanFiveSeconds();
    void splashIsOnScreenDuringWaitAndGoneAfterLoad();
};

void TestStartup::loadStepsInOrder()
{
    FakeServices fakes;
    QStringList log;
    QString dateAtCreation;
    Form1 *form = nullptr;
    Form1 form1(fakes.services(), [&] {
        log << u"create"_qs;
        dateAtCreation = dateBox(*form);
        return std::make_unique<FakeSplash>(log);
    });
    form = &form1;
    form1.load();

    const QStringList expected { u"create"_qs, u"show"_qs, u"refresh"_qs, u"unload"_qs,
                                 u"release"_qs };
    QCOMPARE(log, expected);
    QCOMPARE(dateAtCreation, QLocale::system().toString(Date, QLocale::ShortFormat));
    QVERIFY(!dateAtCreation.isEmpty());
    QVERIFY(!form1.isVisible()); // showing the main window is left to the caller
}

void TestStartup::dateFollowsSystemLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Japanese") << u"ja_JP.UTF-8"_qs << u"2001/05/12"_qs;
    QTest::newRow("US English") << u"en_US.UTF-8"_qs
                                << QLocale(u"en_US"_qs).toString(Date, QLocale::ShortFormat);
    QTest::newRow("German") << u"de_DE.UTF-8"_qs
                            << QLocale(u"de_DE"_qs).toString(Date, QLocale::ShortFormat);
}

void TestStartup::dateFollowsSystemLocale()
{
    QFETCH(QString, locale);
    QFETCH(QString, expected);

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"TST_STARTUP_PRINT_DATE_BOX"_qs, u"1"_qs);
    env.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    env.insert(u"LANG"_qs, locale);
    env.insert(u"LC_ALL"_qs, locale);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()), expected);
}

void TestStartup::waitIsStrictlyLongerThanFiveSeconds_data()
{
    QTest::addColumn<QList<double>>("readings");
    QTest::addColumn<int>("reads");
    QTest::newRow("over at once") << QList<double> { 100.0, 105.5 } << 2;
    QTest::newRow("exactly 5.0 still waits")
        << QList<double> { 100.0, 103.0, 105.0, 105.0, 105.25 } << 5;
    QTest::newRow("just past 5.0") << QList<double> { 0.5, 5.5, 5.5000001 } << 3;
    QTest::newRow("on a clock past a day") << QList<double> { 86398.0, 86401.0, 86403.01 } << 3;
}

void TestStartup::waitIsStrictlyLongerThanFiveSeconds()
{
    QFETCH(QList<double>, readings);
    QFETCH(int, reads);

    FakeClock clock;
    clock.readings = readings;
    Form2 form2(clock);
    form2.show();
    form2.refresh();
    QCOMPARE(clock.reads, 0);
    form2.unload();
    QCOMPARE(clock.reads, reads);
    QVERIFY(!form2.isVisible());
}

void TestStartup::splashIsOnScreenDuringWaitAndGoneAfterLoad()
{
    FakeServices fakes;
    WatchingClock clock;
    int created = 0;
    Form1 form1(fakes.services(), [&] {
        ++created;
        return std::make_unique<Form2>(clock);
    });
    form1.load();

    QCOMPARE(created, 1);
    QCOMPARE(clock.reads, 2); // 0, then 6: over at the first reading after the start
    QVERIFY(clock.splashShownAtEveryReading);
    QCOMPARE(topLevelForm2(), nullptr);
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet("TST_STARTUP_PRINT_DATE_BOX"))
        return printDateBox(argc, argv);
    QApplication app(argc, argv);
    TestStartup test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
