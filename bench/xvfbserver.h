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
    bool start(const QString &screen = u"1280x1024x24"_qs)
    {
        // With -displayfd the server writes its display number once it is ready.
        m_process.start(u"Xvfb"_qs,
                        { u"-displayfd"_qs, u"1"_qs, u"-screen"_qs, u"0"_qs, screen,
                          u"-nolisten"_qs, u"tcp"_qs });
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
        env.insert(u"DISPLAY"_qs, m_display);
        env.insert(u"QT_QPA_PLATFORM"_qs, u"xcb"_qs);
        env.remove(u"WAYLAND_DISPLAY"_qs);
        return env;
    }

private:
    QProcess m_process;
    QString m_display;
};
