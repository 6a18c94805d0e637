// Where the main window's session is kept between runs. Each running instance of the program
// holds one place of its own; a place no running instance holds is offered to the next start.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class SessionStore
{
public:
    enum class Found {
        Nothing, // no kept session: this instance starts with an empty place
        Kept, // bytes holds the kept session
        Unreadable, // not a regular file, too large, or it could not be read
    };
    struct Kept
    {
        Found found = Found::Nothing;
        QByteArray bytes;
    };
    /// Why a session could not be written: the file (or its folder), and the system's words.
    struct Failure
    {
        QString path;
        QString reason;
    };

    virtual ~SessionStore() = default;
    /// Takes for this instance the newest kept session that no running instance holds (or an
    /// empty place when there is none) and returns what it holds. A file larger than maxBytes
    /// is not read. Where no instance can be told from another (no lock can be made: a full
    /// disk), the newest kept session is still taken and offered.
    virtual Kept take(qint64 maxBytes) = 0;
    /// Writes bytes as the taken place's session, replacing the old one only once all is
    /// written. Returns why it could not, or nothing once it is written.
    virtual std::optional<Failure> save(const QByteArray &bytes) = 0;
    /// Removes the session kept in the taken place.
    virtual void discard() = 0;
    /// Moves the taken place's unreadable session aside, beside it with ".bad" added (numbered
    /// after the first, never replacing an earlier one), and returns where it went. Empty when it
    /// could not be moved: it is then left as it is and a new, empty place taken instead.
    virtual QString moveAside() = 0;
    /// Sets the taken place's session aside, the user having declined it: beside it with
    /// ".declined" added (numbered after the first, never replacing an earlier one), where no
    /// start offers it again and the user can still rename it back. Where it cannot be moved, it
    /// is left as it is and a new, empty place taken instead.
    virtual void setAside() = 0;
    /// Leaves the taken session as it is (a newer version of the program wrote it) and takes a
    /// new, empty place for this instance.
    virtual void leave() = 0;
    /// Where the taken place is, to tell the user.
    virtual QString location() const = 0;
};
