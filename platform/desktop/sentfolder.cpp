#include "sentfolder.h"

#include "privatefolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <algorithm>
#include <cerrno>

using namespace Qt::StringLiterals;

namespace {

// A send waits this long for another instance to finish its own record.
constexpr int LockWaitMs = 1000;
constexpr QByteArrayView Confirmed = "confirmed", Unconfirmed = "unconfirmed";

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

// The address as the record keeps it: lowercased, and whole on one line.
QByteArray addressKey(const QString &address)
{
    QByteArray key = address.toLower().toUtf8();
    return key.replace("%", "%25").replace("\t", "%09").replace("\r", "%0D").replace("\n", "%0A");
}

QByteArray timeText(const QDateTime &at)
{
    const int offset = at.offsetFromUtc() / 60;
    const QChar sign = offset < 0 ? u'-' : u'+';
    return (at.toString(u"yyyy-MM-ddTHH:mm:ss"_s) + sign
            + u"%1:%2"_s.arg(qAbs(offset) / 60, 2, 10, QChar(u'0'))
                  .arg(qAbs(offset) % 60, 2, 10, QChar(u'0')))
        .toUtf8();
}

// Whether text has the shape timeText() gives: "2026-12-07T10:15:00+09:00".
bool timeShaped(QByteArrayView text)
{
    static constexpr char Shape[] = "0000-00-00T00:00:00+00:00";
    if (text.size() != qsizetype(sizeof Shape - 1))
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool fits = Shape[i] == '0' ? (c >= '0' && c <= '9')
                                          : (c == Shape[i] || (Shape[i] == '+' && c == '-'));
        if (!fits)
            return false;
    }
    return true;
}

bool hexDigest(QByteArrayView text)
{
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

struct Line
{
    QByteArrayView at, address, digest, confirmed, file;
};

// One line of the record, without its LF; nothing when it does not parse.
std::optional<Line> parse(QByteArrayView text)
{
    QByteArrayView fields[5];
    for (int i = 0; i < 4; ++i) {
        const qsizetype tab = text.indexOf('\t');
        if (tab < 0)
            return std::nullopt;
        fields[i] = text.first(tab);
        text = text.sliced(tab + 1);
    }
    fields[4] = text;
    const Line line { fields[0], fields[1], fields[2], fields[3], fields[4] };
    if (!timeShaped(line.at) || !hexDigest(line.digest) || line.file.contains('\t')
        || (line.confirmed != Confirmed && line.confirmed != Unconfirmed))
        return std::nullopt;
    return line;
}

// Calls found for every line of a record; false when the record does not read as one.
template<typename Found> bool forEachLine(const QByteArray &record, Found found)
{
    if (!record.isEmpty() && (!record.endsWith('\n') || !record.isValidUtf8()))
        return false;
    for (qsizetype start = 0; start < record.size();) {
        const qsizetype end = record.indexOf('\n', start);
        const auto line = parse(QByteArrayView(record).sliced(start, end - start));
        if (!line)
            return false;
        found(*line);
        start = end + 1;
    }
    return true;
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

QString SentFolder::recordFile() const
{
    return m_folder + u"/record"_s;
}

// The copy and the record are written in the author's folder alone: one whose mode cannot be set
// takes no copy, and says so, but still the record line, which holds no text of the issue.
void SentFolder::keep(const QByteArray &message, const Delivery &delivery)
{
    m_lastFile.clear();
    m_fieldsDue.clear();
    m_lastFailure.reset();
    const auto made = PrivateFolder::make(m_folder);
    if (!made && made.outcome != PrivateFolder::Made::ModeNotSet) {
        m_lastFailure = Failure { Failure::Folder, m_folder, made.reason };
        return;
    }
    // One instance at a time picks a copy's name and writes it, so two never take the same name.
    QLockFile turn(recordFile() + u".lock"_s);
    std::optional<Failure> failure;
    const bool ours = lock(turn, failure);
    const QDateTime at = m_now();
    // A folder others may read gets no copy of the issue; the record, which holds no text,
    // still keeps the issue from going out twice.
    m_lastFailure
        = made ? writeCopy(message, at) : Failure { Failure::FolderMode, m_folder, made.reason };
    if (ours) {
        const QByteArray line = timeText(at) + '\t' + addressKey(delivery.address) + '\t'
            + digest(delivery.document) + '\t'
            + (delivery.confirmed ? Confirmed : Unconfirmed).toByteArray() + '\t'
            + QFileInfo(m_lastFile).fileName().toUtf8() + '\n';
        failure = record(line);
    }
    if (!m_lastFailure)
        m_lastFailure = failure;
}

void SentFolder::keepFields(const QByteArray &fields)
{
    if (m_fieldsDue.isEmpty())
        return;
    QString path = std::exchange(m_fieldsDue, {}); // the fields of that send only
    path.chop(4); // ".eml"
    path += u".fields"_s;
    if (const auto reason = PrivateFolder::write(path, fields))
        m_lastFailure = Failure { Failure::File, path, *reason };
}

std::optional<SentCopies::Failure> SentFolder::writeCopy(const QByteArray &message,
                                                         const QDateTime &at)
{
    const QString path = QDir(m_folder).filePath(freeName(QDir(m_folder), at));
    // Written under a temporary name and renamed: a copy is either whole or not there. A full
    // disk may refuse the bytes only at the flush.
    if (const auto reason = PrivateFolder::write(path, message))
        return Failure { Failure::File, path, *reason };
    m_lastFile = m_fieldsDue = path;
    return std::nullopt;
}

// Appends a line to the record, under the lock: read, appended, written whole under a temporary
// name, renamed. A write that fails leaves the record as it was.
std::optional<SentCopies::Failure> SentFolder::record(const QByteArray &line)
{
    std::optional<QByteArray> before = readRecord();
    std::optional<Failure> aside;
    if (!before) {
        aside = setRecordAside();
        if (aside && aside->what != Failure::RecordUnreadable)
            return aside;
        before = QByteArray();
    }
    if (const auto reason = PrivateFolder::write(recordFile(), *before + line))
        return Failure { Failure::Record, recordFile(), *reason };
    return aside;
}

// The record's bytes, empty when there is none; nothing when it cannot be read as a record.
std::optional<QByteArray> SentFolder::readRecord() const
{
    const QFileInfo info(recordFile());
    if (!info.exists() && !info.isSymLink())
        return QByteArray();
    // Never a pipe, which would block the send, nor a link to what is not the program's.
    if (info.isSymLink() || !info.isFile())
        return std::nullopt;
    QFile file(recordFile());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFile::NoError || !forEachLine(bytes, [](const Line &) {}))
        return std::nullopt;
    return bytes;
}

// Under the lock: the unreadable record goes aside, never replacing one set aside before, and
// the next write begins a new one. One that cannot be moved is never replaced.
std::optional<SentCopies::Failure> SentFolder::setRecordAside()
{
    const QString aside = PrivateFolder::setAside(recordFile(), u".unreadable"_s);
    if (!aside.isEmpty())
        return Failure { Failure::RecordUnreadable, aside, {} };
    return Failure { Failure::Record, recordFile(), qt_error_string(errno) };
}

// Waits briefly for another instance's turn. The lock says only that it failed: the system's
// words are those of the last call that failed in it (a full disk, a folder not writable), or
// those of a file held by another.
bool SentFolder::lock(QLockFile &lock, std::optional<Failure> &failure) const
{
    errno = 0;
    if (lock.tryLock(LockWaitMs))
        return true;
    const int error = lock.error() == QLockFile::LockFailedError ? EAGAIN : errno ? errno : EIO;
    failure = Failure { Failure::Record, recordFile(), qt_error_string(error) };
    return false;
}

QList<SentCopies::Recorded> SentFolder::recorded(const QString &address, const QString &document)
{
    m_lastFailure.reset();
    // A committed record is always whole: read without waiting for the lock.
    std::optional<QByteArray> bytes = readRecord();
    if (!bytes) {
        QLockFile turn(recordFile() + u".lock"_s);
        std::optional<Failure> failure;
        if (!lock(turn, failure))
            return {};
        // Another instance may have set it aside meanwhile.
        bytes = readRecord();
        if (!bytes) {
            failure = setRecordAside();
            if (failure->what == Failure::RecordUnreadable || !std::exchange(m_stuckTold, true))
                m_lastFailure = failure;
            return {};
        }
    }
    const QByteArray key = addressKey(address), hash = digest(document);
    QList<Recorded> found;
    forEachLine(*bytes, [&](const Line &line) {
        if (line.address == key && line.digest == hash)
            found.append({ QDateTime::fromString(QString::fromLatin1(line.at), Qt::ISODate),
                           line.confirmed == Confirmed });
    });
    return found;
}

std::optional<SentCopies::Failure> SentFolder::lastFailure() const
{
    return m_lastFailure;
}

QString SentFolder::lastFile() const
{
    return m_lastFile;
}
