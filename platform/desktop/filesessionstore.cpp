#include "filesessionstore.h"

#include "privatefolder.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr QFile::Permissions OwnerOnly = QFile::ReadOwner | QFile::WriteOwner;

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
bool FileSessionStore::hold(const QString &name)
{
    auto lock = std::make_unique<QLockFile>(m_folder + u'/' + name + u".lock"_s);
    // An instance runs for hours: only a lock whose process has gone is stale, never an old one.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    m_lock = std::move(lock);
    m_name = name;
    return true;
}

void FileSessionStore::takeEmptyPlace()
{
    for (int number = 1;; ++number) {
        const QString name = placeName(number);
        if (!QFileInfo(m_folder + u'/' + name).exists()
            && !QFileInfo(m_folder + u'/' + name).isSymLink() && hold(name))
            return;
        // A folder where no lock can be made keeps nothing: the first place, unheld, and saving
        // reports why.
        if (number > 1000) {
            m_name = placeName(1);
            return;
        }
    }
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
        if (!hold(entry.fileName()))
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
    PrivateFolder::make(m_folder);
    QSaveFile file(location());
    if (!file.open(QIODevice::WriteOnly))
        return Failure { location(), file.errorString() };
    file.setPermissions(OwnerOnly);
    // A write the disk refused shows at once or at the commit, which then keeps the old file.
    if (file.write(bytes) != bytes.size() || !file.commit())
        return Failure { location(), file.errorString() };
    return std::nullopt;
}

void FileSessionStore::discard()
{
    QFile::remove(location());
}

void FileSessionStore::moveAside()
{
    const QString bad = location() + u".bad"_s;
    QFile::remove(bad);
    QDir().rename(location(), bad);
}

void FileSessionStore::leave()
{
    m_lock.reset();
    takeEmptyPlace();
}
