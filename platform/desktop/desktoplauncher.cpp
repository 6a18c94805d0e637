#include "desktoplauncher.h"

#include "error.h"

#include <QProcess>
#include <QStandardPaths>

QStringList DesktopLauncher::candidates(const QString &commandLine)
{
    QStringList programs { commandLine };
    const QString name = commandLine.toLower();
    if (name == u"calc.exe"_qs || name == u"calc"_qs) {
        programs << u"gnome-calculator"_qs << u"kcalc"_qs << u"mate-calc"_qs << u"galculator"_qs
                 << u"qalculate-gtk"_qs << u"xcalc"_qs;
    } else if (name == u"notepad.exe"_qs || name == u"notepad"_qs) {
        programs << u"gnome-text-editor"_qs << u"gedit"_qs << u"kwrite"_qs << u"kate"_qs
                 << u"mousepad"_qs << u"pluma"_qs << u"xed"_qs << u"featherpad"_qs << u"leafpad"_qs
                 << u"xedit"_qs;
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
    throw Error { RuntimeError::FileNotFound, u"ファイルが見つかりません。"_qs };
}
