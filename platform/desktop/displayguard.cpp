#include "displayguard.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdio>
#include <unistd.h>

namespace {

struct HeldMessage
{
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;
};
QList<HeldMessage> g_held;
const char *g_line = nullptr;

void holdOrEnd(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    // The only fatal error while the application object is made: no platform plugin could open
    // its display. Nothing is left to clean up; the core dump would tell the user nothing.
    if (type == QtFatalMsg)
        ::_exit(DisplayGuard::noDisplay(g_line));
    g_held.append({ type, context.file, context.function, context.category, context.line, text });
}

} // namespace

int DisplayGuard::noDisplay(const char *line)
{
    std::fputs(line, stderr);
    return 1;
}

DisplayGuard::DisplayGuard(const char *line)
    : m_previous(qInstallMessageHandler(holdOrEnd))
{
    g_line = line;
}

DisplayGuard::~DisplayGuard()
{
    qInstallMessageHandler(m_previous);
    for (const HeldMessage &m : std::exchange(g_held, {})) {
        const QMessageLogContext context(m.file.constData(), m.line, m.function.constData(),
                                         m.category.constData());
        if (m_previous)
            m_previous(m.type, context, m.text);
        else
            qt_message_output(m.type, context, m.text);
    }
}
