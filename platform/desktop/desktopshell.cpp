#include "desktopshell.h"

#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

qintptr DesktopShell::shellExecute(quintptr window, const QByteArray &operation,
                                   const QByteArray &file, const QByteArray &parameters,
                                   const QByteArray &directory, qint32 showCommand)
{
    Q_UNUSED(window);
    Q_UNUSED(parameters);
    Q_UNUSED(showCommand);

    const QString verb = QString::fromLocal8Bit(operation);
    if (!verb.isEmpty() && verb.compare(u"open"_s, Qt::CaseInsensitive) != 0)
        return NoAssociation;
    const QString target = QString::fromLocal8Bit(file);
    if (target.isEmpty())
        return FileNotFound;
    const QString xdgOpen = QStandardPaths::findExecutable(u"xdg-open"_s);
    if (xdgOpen.isEmpty())
        return NoAssociation;

    // Detached: the browser may run for hours, and the window must not wait for it.
    if (!QProcess::startDetached(xdgOpen, { target }, QString::fromLocal8Bit(directory)))
        return NoAssociation;
    return Succeeded + 1;
}
