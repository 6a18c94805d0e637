// Where the mail handler's helper programs are: the first of a list of candidates that exists
// and may be run.
#pragma once

#include <QString>
#include <QStringList>

namespace ProgramFinder {

/// The absolute path of the first candidate found, or an empty string when there is none. A
/// candidate with a "/" is a path; a bare name is looked up on PATH.
QString find(const QStringList &candidates);

} // namespace ProgramFinder
