// The real program on a real X display: the main window comes up with its title, its client
// size, centred, and painted in its grey.
#include "xvfbserver.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

class TestMainWindowXvfb final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void mainWindowAppears();

private:
    QByteArray run(const QString &program, const QStringList &args, int timeoutMs = 30000)
    {
        QProcess p;
        p.setProcessEnvironment(m_xvfb.environment());
        p.start(program, args);
        if (!p.waitForFinished(timeoutMs)) {
            p.kill();
            p.waitForFinished();
            return {};
        }
        return p.readAllStandardOutput();
    }

    XvfbServer m_xvfb;
    QProcess m_zelvora;
};

void TestMainWindowXvfb::initTestCase()
{
    QVERIFY2(m_xvfb.start(), "Xvfb did not start");
    QProcessEnvironment env = m_xvfb.environment();
    env.insert(u"LANG"_qs, u"ja_JP.UTF-8"_qs);
    m_zelvora.setProcessEnvironment(env);
    m_zelvora.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_zelvora.start(QStringLiteral(ZELVORA_BINARY), {});
    QVERIFY(m_zelvora.waitForStarted());
}

void TestMainWindowXvfb::cleanupTestCase()
{
    m_zelvora.kill();
    m_zelvora.waitForFinished();
}

void TestMainWindowXvfb::mainWindowAppears()
{
    // --sync waits until the window exists (the splash holds it back about five seconds).
    const QByteArray id = run(u"xdotool"_qs,
                              { u"search"_qs, u"--sync"_qs, u"--onlyvisible"_qs, u"--name"_qs,
                                u"^Zelvora   Ver1\\.0$"_qs })
                              .trimmed();
    QVERIFY2(!id.isEmpty(), "no window titled \"Zelvora   Ver1.0\"");

    const QString info
        = QString::fromUtf8(run(u"xwininfo"_qs, { u"-id"_qs, QString::fromLatin1(id) }));
    auto value = [&](const char *key) {
        const auto m
            = QRegularExpression(QString::fromLatin1(key) + u":\\s+(-?\\d+)"_qs).match(info);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    };
    const int width = value("Width"), height = value("Height");
    const int x = value("Absolute upper-left X"), y = value("Absolute upper-left Y");
    // 10305 x 8640 twips of client area, below a menu bar.
    QCOMPARE(width, 687);
    QVERIFY2(height > 576 && height < 576 + 60, qPrintable(info));
    QVERIFY2(qAbs(x - (1280 - width) / 2) <= 1 && qAbs(y - (1024 - height) / 2) <= 1,
             qPrintable(info));

    // Painted: the client area's grey just above the bottom edge, left of the document box.
    QImage screen;
    QTRY_VERIFY_WITH_TIMEOUT(
        (screen = QImage::fromData(run(u"import"_qs, { u"-window"_qs, u"root"_qs, u"png:-"_qs })),
         screen.pixelColor(x + 4, y + height - 4) == QColor(192, 192, 192)),
        10000);
}

QTEST_GUILESS_MAIN(TestMainWindowXvfb)
#include "tst_mainwindow_xvfb.moc"
