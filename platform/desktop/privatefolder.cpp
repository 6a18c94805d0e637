#include "privatefolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace PrivateFolder {

QString underXdg(const char *variable, const QString &fallback)
{
    QString base = qEnvironmentVariable(variable);
    if (!QDir::isAbsolutePath(base))
        base = QDir::homePath() + fallback;
    return base + u"/zelvora"_s;
}

bool make(const QString &folder)
{
    const QFileInfo info(folder);
    if (info.isDir())
        return QFile::setPermissions(folder,
                                     QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    return ::mkdir(QFile::encodeName(folder).constData(), 0700) == 0;
}

} // namespace PrivateFolder
