// The start-up: Load, the splash window, what main() wires, and the real program on an X display.
#include "desktopplatform.h"
#include "errorhandling.h"
#include "fakes.h"
#include "form1.h"
#include "form2.h"
#include "roles.h"
#include "windowtest.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// What Load does.
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

// The visible window of that title on the screen, or an empty rectangle.
QRect window(const QString &title)
{
    QProcess xdotool; // killed on leaving if still running
    xdotool.start(u"xdotool"_s,
                  { u"search"_s, u"--onlyvisible"_s, u"--name"_s, title, u"getwindowgeometry"_s,
                    u"--shell"_s });
    xdotool.waitForFinished(60000);
    QList<int> v; // WINDOW, X, Y, WIDTH, HEIGHT
    for (const QByteArray &line : xdotool.readAllStandardOutput().split('\n'))
        v << line.mid(line.indexOf('=') + 1).toInt();
    return v.size() > 4 ? QRect(v[1], v[2], v[3], v[4]) : QRect();
}

QImage screen(const QRect &rect)
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().copy(rect).convertToFormat(
        QImage::Format_RGB32);
}

// The splash window shows the picture's lettering, and its labels' yellow and grey over it.
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
    // Load: the date first, then the splash window shown, painted, unloaded after over 5 s.
    void load()
    {
        fakes.clock.readings = { 86398, 86400, 86403, 86403, 86403.01 };
        Form1 form1(fakes.services(), [&] {
            steps << u"create"_s
                  << form1.findChild<QLineEdit *>(QString::fromLatin1(Role::DateBox))->text();
            return std::make_unique<LoggedForm2>();
        });
        form1.load();
        QCOMPARE(steps.join(u' '), u"create 2001/05/12 show refresh unload release"_s);
        QCOMPARE(fakes.clock.reads, 5);
    }

    // refresh() paints the splash window before it returns, not at some later turn of the loop.
    void refreshPaintsAtOnce()
    {
        Form2 form2(fakes.clock);
        form2.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form2));
        struct Paints final : QObject
        {
            int count = 0;
            bool eventFilter(QObject *, QEvent *event) override
            {
                return count += event->type() == QEvent::Paint, false;
            }
        } paints;
        form2.installEventFilter(&paints);
        form2.refresh();
        QCOMPARE(paints.count, 1);
    }

    // The real program: the splash window centred and painted, then 5 s later the main window.
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

    // What main() wires, with stand-in programs: Japanese toolkit texts, calculator and editor.
    void platform()
    {
        QTemporaryDir bin;
        for (const char16_t *name : { u"gnome-calculator", u"gnome-text-editor" })
            QVERIFY(writeFile(bin.filePath(QString::fromUtf16(name)),
                              "#!/bin/sh\n: >\"$0.started\"\nexec /bin/sleep 5\n", true));
        const QByteArray path = qgetenv("PATH");
        const auto restorePath = qScopeGuard([&] { qputenv("PATH", path); });
        qputenv("PATH", QFile::encodeName(bin.path()));
        DesktopPlatform platform;
        platform.installToolkitTexts();
        QCOMPARE(QCoreApplication::translate("QLineEdit", "&Undo"), u"元に戻す(&U)"_s);

        const Services &services = platform.services();
        const auto failure = ErrorHandling::trap([&] {
            services.launcher->start(u"calc.exe"_s, Launcher::NormalFocus);
            services.launcher->start(u"NOTEPAD.EXE"_s, Launcher::NormalFocus);
        });
        QVERIFY2(!failure, qPrintable(failure.value_or(Error {}).description));
        QTRY_VERIFY(QFile::exists(bin.filePath(u"gnome-calculator.started"_s))
                    && QFile::exists(bin.filePath(u"gnome-text-editor.started"_s)));
    }
};

// Runs on the X display of xvfb-run (see CMakeLists.txt).
int main(int argc, char *argv[])
{
    qputenv("LC_ALL", "ja_JP.UTF-8"); // the user's language, also for the real program
    QApplication app(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
