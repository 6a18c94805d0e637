// A private X display for tests that need a real window: Xvfb on a display it picks itself,
// stopped when the object goes away.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

class XvfbServer final
{
public:
    XvfbServer() = default;
    XvfbServer(const XvfbServer &) = delete;
    XvfbServer &operator=(const XvfbServer &) = delete;
    ~XvfbServer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000))
                m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    /// Starts the server and waits until it accepts clients; false when it cannot.
    bool start(const QString &screen = QStringLiteral("1280x1024x24"))
    {
        // With -displayfd the server writes its display number once it is ready.
        m_process.start(QStringLiteral("Xvfb"),
                        { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"), screen,
                          QStringLiteral("-nolisten"), QStringLiteral("tcp") });
        if (!m_process.waitForStarted(10000))
            return false;
        QByteArray out;
        while (!out.contains('\n')) {
            if (!m_process.waitForReadyRead(20000))
                return false;
            out += m_process.readAllStandardOutput();
        }
        m_display = u':' + QString::fromLatin1(out.trimmed());
        return true;
    }

    /// The display name, ":N".
    QString display() const { return m_display; }

    /// The environment for a client of this display, on Qt's X11 platform.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        return env;
    }

private:
    QProcess m_process;
    QString m_display;
};
