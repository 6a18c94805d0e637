#include "programfinder.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace ProgramFinder {

QString find(const QStringList &candidates)
{
    for (const QString &candidate : candidates) {
        if (candidate.contains(u'/')) {
            const QFileInfo info(candidate);
            if (info.isFile() && info.isExecutable())
                return info.absoluteFilePath();
        } else if (const QString path = QStandardPaths::findExecutable(candidate);
                   !path.isEmpty()) {
            return path;
        }
    }
    return {};
}

} // namespace ProgramFinder
