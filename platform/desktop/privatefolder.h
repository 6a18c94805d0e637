// The folders the program keeps the user's work in: under the XDG base folders, readable by the
// user alone.
#pragma once

#include <QString>

namespace PrivateFolder {

/// The program's folder under the XDG base folder that variable names ("XDG_STATE_HOME"), or
/// under fallback in the home folder ("/.local/state") where the variable is unset or relative.
QString underXdg(const char *variable, const QString &fallback);

/// Makes folder, and the folders above it that are missing, and leaves it 0700: a new folder is
/// made 0700 from the start, so what it holds is never readable by others, not even briefly.
/// False when it cannot be made.
bool make(const QString &folder);

} // namespace PrivateFolder
