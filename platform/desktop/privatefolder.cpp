#include "privatefolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace PrivateFolder {

namespace {

constexpr mode_t OwnerOnly = 0700;

Made failed(Made::Outcome outcome, int error)
{
    return { outcome, qt_error_string(error) };
}

} // namespace

QString underXdg(const char *variable, const QString &fallback)
{
    QString base = qEnvironmentVariable(variable);
    if (!QDir::isAbsolutePath(base))
        base = QDir::homePath() + fallback;
    return base + u"/zelvora"_s;
}

Made make(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    QDir().mkpath(QFileInfo(folder).absolutePath());
    if (::mkdir(path.constData(), OwnerOnly) == 0)
        return {};
    if (errno != EEXIST)
        return failed(Made::NotMade, errno);
    // A link is the user's own arrangement (the state kept on another disk, say): the folder it
    // leads to is used as it is, its mode the user's choice. chmod would follow the link and
    // change a folder that is not the program's.
    const QFileInfo info(folder);
    if (info.isSymLink())
        return info.isDir() ? Made {} : failed(Made::NotMade, ENOTDIR);
    // Opened without following a link put there since, and changed through that handle.
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return failed(Made::NotMade, errno);
    struct stat status
    {
    };
    int error = 0;
    if (::fstat(fd, &status) != 0)
        error = errno;
    else if ((status.st_mode & 07777) != OwnerOnly && ::fchmod(fd, OwnerOnly) != 0)
        error = errno;
    ::close(fd);
    return error ? failed(Made::ModeNotSet, error) : Made {};
}

std::optional<QString> write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        return file.errorString();
    return std::nullopt;
}

QString setAside(const QString &path, const QString &suffix)
{
    const QByteArray from = QFile::encodeName(path);
    for (int number = 1; number < 1000; ++number) {
        const QString aside = path + suffix + (number > 1 ? u"-%1"_s.arg(number) : QString());
        const QByteArray to = QFile::encodeName(aside);
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE)
            == 0)
            return aside;
        // A file system without a rename that refuses to replace: a look first, then the rename.
        if ((errno == EINVAL || errno == ENOSYS) && !QFileInfo(aside).exists()
            && !QFileInfo(aside).isSymLink() && ::rename(from.constData(), to.constData()) == 0)
            return aside;
        if (errno != EEXIST && errno != EINVAL && errno != ENOSYS && errno != ENOTEMPTY)
            return {};
    }
    return {};
}

} // namespace PrivateFolder
