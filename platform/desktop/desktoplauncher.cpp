#include "desktoplauncher.h"

#include "error.h"

#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

QStringList DesktopLauncher::candidates(const QString &commandLine)
{
    QStringList programs { commandLine };
    const QString name = commandLine.toLower();
    if (name == u"calc.exe"_s || name == u"calc"_s) {
        programs << u"gnome-calculator"_s << u"kcalc"_s << u"mate-calc"_s << u"galculator"_s
                 << u"qalculate-gtk"_s << u"xcalc"_s;
    } else if (name == u"notepad.exe"_s || name == u"notepad"_s) {
        programs << u"gnome-text-editor"_s << u"gedit"_s << u"kwrite"_s << u"kate"_s
                 << u"mousepad"_s << u"pluma"_s << u"xed"_s << u"featherpad"_s << u"leafpad"_s
                 << u"xedit"_s;
    }
    return programs;
}

qint64 DesktopLauncher::start(const QString &commandLine, int windowStyle)
{
    Q_UNUSED(windowStyle); // a newly started desktop program gets a normal, focused window
    for (const QString &program : candidates(commandLine)) {
        const QString path = QStandardPaths::findExecutable(program);
        if (path.isEmpty())
            continue;
        qint64 pid = 0;
        if (QProcess::startDetached(path, {}, QString(), &pid))
            return pid;
    }
    throw RuntimeError::error(RuntimeError::FileNotFound);
}
