// The session kept in files of $XDG_STATE_HOME/zelvora/ (by default ~/.local/state/zelvora/):
// "session" for the first running instance, "session-2", "session-3"... for those started while
// others run. Each instance holds its file with a lock file beside it ("session.lock"), so no
// two instances write the same file; files 0600 in a folder 0700. Sessions set aside keep their
// name with ".bad" or ".declined" added, numbered ("session.bad-2") where one is there already.
#pragma once

#include "sessionstore.h"

#include <QString>

#include <memory>

class QLockFile;

class FileSessionStore final : public SessionStore
{
public:
    /// The folder of the program's kept state: $XDG_STATE_HOME/zelvora, or
    /// ~/.local/state/zelvora when that is unset or not an absolute path.
    static QString defaultFolder();

    explicit FileSessionStore(QString folder = defaultFolder());
    ~FileSessionStore() override;

    Kept take(qint64 maxBytes) override;
    std::optional<Failure> save(const QByteArray &bytes) override;
    void discard() override;
    QString moveAside() override;
    void setAside() override;
    void leave() override;
    QString location() const override;

private:
    enum class Hold {
        Held, // this instance holds the place
        Running, // a running instance holds it
        Unheld, // no lock can be made here: the place is this instance's, unheld
    };
    Hold hold(const QString &name);
    void takeEmptyPlace();
    QString putAside(const QString &suffix);

    QString m_folder;
    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
};
