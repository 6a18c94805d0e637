// The start-up: Load, the splash window's wait, and the real program on an X display.
#include "fakes.h"
#include "form1.h"
#include "form2.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// What Load does, in the child process that runs it.
FakeServices fakes;
QStringList steps;

/// The real splash window, writing down what is done with it.
struct LoggedForm2 final : Splash
{
    ~LoggedForm2() override { steps << u"release"_s; }
    void show() override { steps << u"show"_s, m_form2.show(); }
    void refresh() override { steps << u"refresh"_s, m_form2.refresh(); }
    void unload() override { steps << u"unload"_s, m_form2.unload(); }
    Form2 m_form2 { fakes.clock };
};

QByteArray run(const QStringList &command)
{
    QProcess p; // killed on leaving if still running
    p.start(command.first(), command.mid(1));
    p.waitForFinished(60000);
    return p.readAllStandardOutput();
}

// The visible window of that title on the screen, or an empty rectangle.
QRect window(const QString &title)
{
    QList<int> v; // WINDOW, X, Y, WIDTH, HEIGHT
    for (const QByteArray &line :
         run({ u"xdotool"_s, u"search"_s, u"--onlyvisible"_s, u"--name"_s, title,
               u"getwindowgeometry"_s, u"--shell"_s })
             .split('\n'))
        v << line.mid(line.indexOf('=') + 1).toInt();
    return v.size() > 4 ? QRect(v[1], v[2], v[3], v[4]) : QRect();
}

QImage screen(const QRect &rect)
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().copy(rect).convertToFormat(
        QImage::Format_RGB32);
}

// The splash window shows the picture's lettering, and its labels' pale yellow and light grey
// in their boxes over it.
bool splashPainted(const QRect &splash)
{
    const QImage shown = screen(splash), picture(u":/splash.gif"_s);
    const QRect label2(48, 32, 200, 16), label1(144, 112, 272, 26);
    int lettering = 0, matching = 0, yellow = 0, grey = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < splash.width(); ++x) {
            const QRgb want = picture.pixel(x, y), got = shown.pixel(x, y);
            if (label2.contains(x, y))
                yellow += got == qRgb(255, 255, 192);
            else if (label1.contains(x, y))
                grey += got == qRgb(224, 224, 224);
            else if (qAlpha(want) && (want & 0xffffff))
                ++lettering, matching += got == want;
        }
    }
    return lettering > 560 * 150 / 10 && matching >= lettering * 95 / 100 && yellow && grey;
}

} // namespace

class TestStartup final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void load_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("date");
        QTest::newRow("Japanese") << u"ja_JP.UTF-8"_s << u"2001/05/12"_s;
        QTest::newRow("German") << u"de_DE.UTF-8"_s << u"12.05.01"_s;
    }
    // The date in the locale's short format comes first, and no splash window remains.
    void load()
    {
        QFETCH(QString, locale);
        QFETCH(QString, date);
        QCOMPARE(
            QString::fromUtf8(run({ QApplication::applicationFilePath(), u"--load"_s, locale })),
            u"create %1 show refresh unload release"_s.arg(date));
    }

    // Unload waits until the clock shows strictly more than five seconds.
    void wait_data()
    {
        QTest::addColumn<QList<double>>("readings");
        QTest::addColumn<int>("reads");
        QTest::newRow("exactly 5.0 still waits")
            << QList<double> { 100, 103, 105, 105, 105.25 } << 5;
        QTest::newRow("just past 5.0") << QList<double> { 0.5, 5.5, 5.5000001 } << 3;
        QTest::newRow("on a clock past a day") << QList<double> { 86398, 86401, 86403.01 } << 3;
    }
    void wait()
    {
        FakeClock clock;
        QFETCH(QList<double>, readings);
        clock.readings = readings;
        Form2(clock).unload();
        QTEST(clock.reads, "reads");
    }

    // The real program: the splash window centred and painted, and the main window no sooner
    // than five seconds later, centred, grey, the splash window gone.
    void splashThenMainWindow()
    {
        QProcess zelvora;
        QElapsedTimer clock;
        clock.start();
        zelvora.start(QString::fromUtf8(ZELVORA_BINARY), {});
        qint64 notYetPainted = 0; // the start of the last look that did not see it painted
        for (bool painted = false; !painted;) {
            QVERIFY(clock.elapsed() < 30000 && zelvora.state() != QProcess::NotRunning);
            const qint64 lookedAt = clock.nsecsElapsed();
            const QRect splash = window(u"^Zelvora$"_s);
            QVERIFY2(window(u"^Zelvora   Ver1\\.0$"_s).isEmpty(), "main window before the splash");
            if (!splash.isEmpty())
                QCOMPARE(splash, QRect((1280 - 556) / 2, (1024 - 171) / 2, 556, 171));
            if (!(painted = !splash.isEmpty() && splashPainted(splash)))
                notYetPainted = lookedAt;
        }
        QRect form1;
        while ((form1 = window(u"^Zelvora   Ver1\\.0$"_s)).isEmpty())
            QVERIFY2(clock.elapsed() < 60000, "no main window");
        const double after = (clock.nsecsElapsed() - notYetPainted) / 1e9;
        QVERIFY2(after >= 5.0, qPrintable(u"main window %1 s after the splash"_s.arg(after)));
        QVERIFY(window(u"^Zelvora$"_s).isEmpty());
        // 10305 x 8640 twips of client area below a menu bar.
        QCOMPARE(form1.width(), 687);
        QVERIFY2(form1.height() > 576 && form1.height() < 576 + 60, "no menu bar over the client");
        QVERIFY(qAbs(form1.center().x() - 640) <= 1 && qAbs(form1.center().y() - 512) <= 1);
        QTRY_COMPARE_WITH_TIMEOUT(QColor(screen(form1).pixel(4, form1.height() - 4)),
                                  QColor(192, 192, 192), 10000);
    }
};

// Runs on the X display of xvfb-run (see CMakeLists.txt).
int main(int argc, char *argv[])
{
    const bool loadChild = argc == 3 && argv[1] == QByteArrayView("--load"); // LOCALE
    if (loadChild)
        qputenv("LC_ALL", argv[2]);
    QApplication app(argc, argv);
    if (loadChild) { // what Load does, with the date box at the splash window's creation
        fakes.clock.readings = { 10.0, 15.5 };
        std::optional<Form1> form1;
        form1.emplace(fakes.services(), [&] {
            steps << u"create"_s << form1->findChild<QLineEdit *>(u"Text9"_s)->text();
            return std::make_unique<LoggedForm2>();
        });
        form1->load();
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == u"Form2"_s)
                steps << u"Form2 left"_s;
        return QTextStream(stdout) << steps.join(u' '), 0;
    }
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
