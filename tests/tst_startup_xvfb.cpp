// The real program starting on a real X display under a Japanese locale: the splash window
// comes up centred and painted, stays for more than five seconds, then the main window opens
// with today's date in the date box.
#include "xvfbserver.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString SplashTitle = u"^Form2$"_qs;
const QString MainTitle = u"^Zelvora   Ver1\\.0$"_qs;
constexpr QSize SplashSize { 556, 171 };
constexpr int ScreenWidth = 1280, ScreenHeight = 1024;

// In a child process on the test's display: the text on the clipboard.
int printClipboard(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream(stdout) << QGuiApplication::clipboard()->text();
    return 0;
}

bool near(QRgb a, QRgb b, int tolerance)
{
    return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance
        && qAbs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace

class TestStartupXvfb final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void splashThenMainWindow();

private:
    QByteArray run(const QString &program, const QStringList &args, int *exitCode = nullptr)
    {
        QProcess p;
        p.setProcessEnvironment(m_xvfb.environment());
        p.start(program, args);
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
        }
        if (exitCode)
            *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return p.readAllStandardOutput();
    }
    QByteArray visibleWindow(const QString &title)
    {
        return run(u"xdotool"_qs, { u"search"_qs, u"--onlyvisible"_qs, u"--name"_qs, title })
            .trimmed();
    }
    QRect geometry(const QByteArray &window)
    {
        QRect r;
        const QByteArray out = run(
            u"xdotool"_qs, { u"getwindowgeometry"_qs, u"--shell"_qs, QString::fromLatin1(window) });
        for (const QByteArray &line : out.split('\n')) {
            const int value = line.mid(line.indexOf('=') + 1).toInt();
            if (line.startsWith("X="))
                r.moveLeft(value);
            else if (line.startsWith("Y="))
                r.moveTop(value);
            else if (line.startsWith("WIDTH="))
                r.setWidth(value);
            else if (line.startsWith("HEIGHT="))
                r.setHeight(value);
        }
        return r;
    }
    QImage screenshot()
    {
        return QImage::fromData(run(u"import"_qs, { u"-window"_qs, u"root"_qs, u"png:-"_qs }),
                                "PNG");
    }
    QString splashProblem(const QImage &screen, const QRect &window) const;

    XvfbServer m_xvfb;
    QProcess m_zelvora;
    QImage m_pictureOnBlack;
};

void TestStartupXvfb::initTestCase()
{
    QImage picture(QStringLiteral(ZELVORA_TESTS_DIR "/../resources/splash.gif"));
    QVERIFY(!picture.isNull());
    m_pictureOnBlack = QImage(picture.size(), QImage::Format_RGB32);
    m_pictureOnBlack.fill(Qt::black);
    QPainter(&m_pictureOnBlack).drawImage(0, 0, picture);

    QVERIFY2(m_xvfb.start(u"%1x%2x24"_qs.arg(ScreenWidth).arg(ScreenHeight)), "Xvfb did not start");
}

void TestStartupXvfb::cleanupTestCase()
{
    m_zelvora.kill();
    m_zelvora.waitForFinished();
}

// What is wrong with the splash window on the screen, or nothing when it shows the picture and
// both labels.
QString TestStartupXvfb::splashProblem(const QImage &screen, const QRect &window) const
{
    if (window.size() != SplashSize)
        return u"splash window of %1 x %2"_qs.arg(window.width()).arg(window.height());
    const QImage shown = screen.copy(window).convertToFormat(QImage::Format_RGB32);
    // The labels lie over the picture: leave their neighbourhood out.
    const QRect label2(48, 32, 200, 16), label1(144, 112, 272, 26);
    int lettering = 0, matching = 0;
    for (int y = 0; y < m_pictureOnBlack.height(); ++y) {
        for (int x = 0; x < SplashSize.width(); ++x) {
            const QRgb expected = m_pictureOnBlack.pixel(x, y);
            if (expected == qRgb(0, 0, 0) || label1.contains(x, y) || label2.contains(x, y))
                continue;
            ++lettering;
            matching += shown.pixel(x, y) == expected;
        }
    }
    if (matching < lettering * 95 / 100)
        return u"%1 of %2 pixels of the picture shown"_qs.arg(matching).arg(lettering);
    auto found = [&](const QRect &r, QRgb colour) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (near(shown.pixel(x, y), colour, 4))
                    return true;
        return false;
    };
    if (!found(label2, qRgb(255, 255, 192)))
        return u"no pale yellow description"_qs;
    if (!found(label1, qRgb(224, 224, 224)))
        return u"no light grey notice"_qs;
    return {};
}

void TestStartupXvfb::splashThenMainWindow()
{
    QProcessEnvironment env = m_xvfb.environment();
    env.remove(u"LC_ALL"_qs);
    env.remove(u"LC_TIME"_qs);
    env.insert(u"LANG"_qs, u"ja_JP.UTF-8"_qs);
    m_zelvora.setProcessEnvironment(env);
    m_zelvora.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    m_zelvora.start(QStringLiteral(ZELVORA_BINARY), {});
    QVERIFY(m_zelvora.waitForStarted());
    auto now = [&] { return clock.nsecsElapsed() / 1e9; };

    // Until the splash window is seen painted, the main window must not be there. The paint
    // came after the start of the last look that did not see it.
    double notYetPainted = 0.0;
    QString problem = u"no splash window"_qs;
    while (!problem.isEmpty()) {
        QVERIFY2(now() < 30.0, qPrintable(problem));
        QVERIFY2(m_zelvora.state() == QProcess::Running, "the program ended");
        const double lookedAt = now();
        const QByteArray splash = visibleWindow(SplashTitle);
        QVERIFY2(visibleWindow(MainTitle).isEmpty(), "main window before the painted splash");
        if (splash.isEmpty()) {
            notYetPainted = lookedAt;
            continue;
        }
        const QRect window = geometry(splash);
        QCOMPARE(window.left(), (ScreenWidth - SplashSize.width()) / 2);
        QCOMPARE(window.top(), (ScreenHeight - SplashSize.height()) / 2);
        problem = splashProblem(screenshot(), window);
        if (!problem.isEmpty())
            notYetPainted = lookedAt;
    }

    // Then the main window, and the splash window gone.
    QByteArray main;
    while (main.isEmpty()) {
        QVERIFY2(now() < 60.0, "no main window");
        main = visibleWindow(MainTitle);
    }
    const double mainSeen = now();
    QVERIFY(visibleWindow(SplashTitle).isEmpty());
    // The longest the splash can have been painted before the main window came.
    const double longest = mainSeen - notYetPainted;
    qInfo("splash painted after %.3f s, main window seen %.3f s later at most", notYetPainted,
          longest);
    QVERIFY2(longest >= 5.0, qPrintable(u"main window %1 s after the splash"_qs.arg(longest)));

    // The date box holds today's date in the Japanese short format: select it, copy it and
    // read the clipboard from a child of this test on the same display.
    const QRect mainWindow = geometry(main);
    const int menuBar = mainWindow.height() - 576; // the client area is 8640 twips high
    const QString x = QString::number(mainWindow.left() + 16 + 20);
    const QString y = QString::number(mainWindow.top() + menuBar + 152 + 9);
    run(u"xdotool"_qs, { u"mousemove"_qs, u"--sync"_qs, x, y, u"click"_qs, u"1"_qs });
    run(u"xdotool"_qs, { u"key"_qs, u"ctrl+a"_qs, u"ctrl+c"_qs });
    QProcessEnvironment childEnv = m_xvfb.environment();
    childEnv.insert(u"TST_STARTUP_XVFB_PRINT_CLIPBOARD"_qs, u"1"_qs);
    QProcess child;
    child.setProcessEnvironment(childEnv);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(30000));
    const QString dateBox = QString::fromUtf8(child.readAllStandardOutput());
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    const QString today = japanese.toString(QDate::currentDate(), QLocale::ShortFormat);
    const QString yesterday
        = japanese.toString(QDate::currentDate().addDays(-1), QLocale::ShortFormat);
    qInfo() << "date box:" << dateBox;
    QVERIFY2(dateBox == today || dateBox == yesterday, qPrintable(dateBox));
    QVERIFY(QRegularExpression(u"^\\d{4}/\\d{2}/\\d{2}$"_qs).match(dateBox).hasMatch());
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet("TST_STARTUP_XVFB_PRINT_CLIPBOARD"))
        return printClipboard(argc, argv);
    QGuiApplication app(argc, argv);
    TestStartupXvfb test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup_xvfb.moc"
