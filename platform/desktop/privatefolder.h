// The folders the program keeps the user's work in: under the XDG base folders, readable by the
// user alone; and the files it sets aside there rather than delete.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace PrivateFolder {

/// The program's folder under the XDG base folder that variable names ("XDG_STATE_HOME"), or
/// under fallback in the home folder ("/.local/state") where the variable is unset or relative.
QString underXdg(const char *variable, const QString &fallback);

/// What make() did, and the system's words when it could not.
struct Made
{
    enum Outcome {
        Ready, // the folder is there, and the user's alone (or a link the user made to one)
        NotMade, // there is no folder, and it could not be made
        ModeNotSet, // the folder is there, but could not be made the user's alone
    };
    Outcome outcome = Ready;
    QString reason;
    explicit operator bool() const { return outcome == Ready; }
};

/// Makes folder, and the folders above it that are missing, and leaves it 0700: a new folder is
/// made 0700 from the start, so what it holds is never readable by others, not even briefly. A
/// link to a folder is used as it is.
Made make(const QString &folder);

/// Writes a file readable by the user alone, whole or not at all: under a temporary name, every
/// step checked (a full disk takes small writes into the buffer and refuses them only at the
/// flush), then renamed over the old one, which a failure leaves as it was. The system's words
/// when it could not be written; nothing when it was.
std::optional<QString> write(const QString &path, const QByteArray &bytes);

/// Renames path to path + suffix, or, where that is taken, to path + suffix + "-2", "-3"...:
/// never replaces a file. Returns the new name; empty when it could not be renamed.
QString setAside(const QString &path, const QString &suffix);

} // namespace PrivateFolder
