#include "sentfolder.h"

#include "privatefolder.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace {

constexpr auto OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// A free name for a copy made at `when`: the date and time, and a suffix when that second is
// already taken ("2026-12-07_101500.eml", "2026-12-07_101500-2.eml").
QString freeName(const QDir &folder, const QDateTime &when)
{
    const QString stem = when.toString(u"yyyy-MM-dd_HHmmss"_s);
    QString name = stem + u".eml"_s;
    for (int n = 2; folder.exists(name); ++n)
        name = u"%1-%2.eml"_s.arg(stem).arg(n);
    return name;
}

} // namespace

QString SentFolder::defaultFolder()
{
    return PrivateFolder::underXdg("XDG_DATA_HOME", u"/.local/share"_s) + u"/sent"_s;
}

SentFolder::SentFolder(QString folder, std::function<QDateTime()> now)
    : m_folder(std::move(folder))
    , m_now(std::move(now))
{ }

void SentFolder::keep(const QByteArray &message)
{
    m_lastFile.clear();
    m_lastFailure.reset();
    if (!PrivateFolder::make(m_folder)) {
        m_lastFailure = Failure { Failure::Folder, m_folder, {} };
        return;
    }
    const QString path = QDir(m_folder).filePath(freeName(QDir(m_folder), m_now()));
    // Written under a temporary name and renamed: a copy is either whole or not there.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(OwnerOnly)
        || file.write(message) != message.size() || !file.commit()) {
        m_lastFailure = Failure { Failure::File, path, file.errorString() };
        return;
    }
    m_lastFile = path;
}

std::optional<SentCopies::Failure> SentFolder::lastFailure() const
{
    return m_lastFailure;
}

QString SentFolder::lastFile() const
{
    return m_lastFile;
}
