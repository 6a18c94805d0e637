#include "filesessionstore.h"

#include "privatefolder.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString placeName(int number)
{
    return number == 1 ? u"session"_s : u"session-%1"_s.arg(number);
}

} // namespace

QString FileSessionStore::defaultFolder()
{
    return PrivateFolder::underXdg("XDG_STATE_HOME", u"/.local/state"_s);
}

FileSessionStore::FileSessionStore(QString folder)
    : m_folder(std::move(folder))
{ }

FileSessionStore::~FileSessionStore() = default;

QString FileSessionStore::location() const
{
    return m_folder + u'/' + m_name;
}

// Holds the place of that name for this instance, unless a running instance holds it.
FileSessionStore::Hold FileSessionStore::hold(const QString &name)
{
    auto lock = std::make_unique<QLockFile>(m_folder + u'/' + name + u".lock"_s);
    // An instance runs for hours: only a lock whose process has gone is stale, never an old one.
    lock->setStaleLockTime(0);
    m_name = name;
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        return Hold::Held;
    }
    // Only a lock that is there says that an instance runs. One that cannot be made (a full
    // disk, a folder that cannot be written) says nothing, and the work kept is still the
    // user's: it is taken unheld, as it is the user's one chance to have it back.
    return lock->error() == QLockFile::LockFailedError ? Hold::Running : Hold::Unheld;
}

void FileSessionStore::takeEmptyPlace()
{
    for (int number = 1; number <= 1000; ++number) {
        const QString name = placeName(number);
        const QFileInfo place(m_folder + u'/' + name);
        if (!place.exists() && !place.isSymLink() && hold(name) != Hold::Running)
            return;
    }
    // Every place is held: the first, unheld, and saving reports why if it cannot.
    m_name = placeName(1);
}

SessionStore::Kept FileSessionStore::take(qint64 maxBytes)
{
    m_lock.reset();
    PrivateFolder::make(m_folder);

    // The kept sessions, newest first.
    static const QRegularExpression placeNames(u"^session(-[0-9]+)?$"_s);
    QFileInfoList kept;
    for (const QFileInfo &entry : QDir(m_folder).entryInfoList(
             QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot))
        if (placeNames.match(entry.fileName()).hasMatch())
            kept << entry;
    std::stable_sort(kept.begin(), kept.end(), [](const QFileInfo &a, const QFileInfo &b) {
        return a.lastModified() > b.lastModified();
    });
    for (const QFileInfo &entry : std::as_const(kept)) {
        if (hold(entry.fileName()) == Hold::Running)
            continue;
        // A symbolic link, a folder or a pipe is never opened: a pipe would block the start.
        if (entry.isSymLink() || !entry.isFile() || entry.size() > maxBytes)
            return { Found::Unreadable, {} };
        QFile file(entry.filePath());
        if (!file.open(QIODevice::ReadOnly))
            return { Found::Unreadable, {} };
        QByteArray bytes = file.read(maxBytes + 1);
        if (file.error() != QFile::NoError)
            return { Found::Unreadable, {} };
        return { Found::Kept, bytes };
    }
    takeEmptyPlace();
    return {};
}

std::optional<SessionStore::Failure> FileSessionStore::save(const QByteArray &bytes)
{
    // A folder whose mode cannot be set still takes the session: the file itself is the user's
    // alone, and the work matters more than the folder's mode.
    if (const auto folder = PrivateFolder::make(m_folder);
        folder.outcome == PrivateFolder::Made::NotMade)
        return Failure { m_folder, folder.reason };
    if (const auto reason = PrivateFolder::write(location(), bytes))
        return Failure { location(), *reason };
    return std::nullopt;
}

void FileSessionStore::discard()
{
    QFile::remove(location());
}

QString FileSessionStore::putAside(const QString &suffix)
{
    const QString aside = PrivateFolder::setAside(location(), suffix);
    // What cannot be moved is never replaced: this instance writes elsewhere.
    if (aside.isEmpty())
        leave();
    return aside;
}

QString FileSessionStore::moveAside()
{
    return putAside(u".bad"_s);
}

void FileSessionStore::setAside()
{
    putAside(u".declined"_s);
}

void FileSessionStore::leave()
{
    m_lock.reset();
    takeEmptyPlace();
}
