// The issues sent, read back from the copies kept of them (sentcopies.h): each copy is the
// message exactly as the transport read it, named by the local date and time it went out, with
// the fields it was made from beside it ("2026-12-07_101500.eml", "2026-12-07_101500.fields",
// in the kept session's format). Copies kept before the fields were are read all the same.
//
// Whatever the folder holds is read with care: only regular files, never a link or a pipe, at
// most MaxBytes of each; a copy that cannot be read or decoded says why.
#pragma once

#include <QDateTime>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace Backnumbers {

/// Longer copies are read only this far.
constexpr qint64 MaxBytes = 64 * 1024 * 1024;

/// One line of the list of issues sent.
struct Summary
{
    QString file;
    QDateTime at; // when it went out: the message's Date, else the file's time
    QString recipient; // the address it went to
    QString issue; // the issue label, or the issue line's last line, from the fields
    QString firstLine; // the body's first line that holds anything
    QString problem; // why the copy could not be read; empty when it was
};

/// A copy read whole.
struct Issue
{
    QString text; // the body as readers get it
    std::optional<QMap<QString, QString>> fields; // none for a copy kept without them
    QString problem; // why the copy could not be read; empty when it was
    bool cut = false; // the copy is longer than MaxBytes: text holds its beginning
};

/// The copies in folder, newest first.
QStringList files(const QString &folder);
/// The fields kept beside a copy.
QString fieldsFile(const QString &copy);
/// The fields kept beside a copy; none for a copy kept without them, or when they cannot be read.
std::optional<QMap<QString, QString>> fields(const QString &copy);
/// What the list shows of a copy; reads only its beginning.
Summary summary(const QString &file);
/// The whole copy, or its first limit bytes.
Issue read(const QString &file, qint64 limit = MaxBytes);
/// The lines with a mark (past the guide, or a character readers may not see as written) of the
/// newest issues sent, readable copies only: what the author has already sent as it stands.
QSet<QString> markedLines(const QString &folder, int guide, int issues = 10);

/// The parts of a message that the list and the text show.
struct Message
{
    QDateTime date;
    QString to;
    QString body;
    QString problem;
};
/// Decodes a message's bytes; whole says whether they are the whole message or its beginning.
Message parse(const QByteArray &bytes, bool whole);

} // namespace Backnumbers
