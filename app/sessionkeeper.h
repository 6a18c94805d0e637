// Keeps the main window's session as the author types, and offers it back at the next start.
// Every field (by control name, see roles.h), the document and the document box's display font are
// written to the session store at most DelayMs after a change, and at every end of the program that
// reaches the event loop (the window closed, the application quitting, the desktop session
// ending); main() adds Unix signals and a window destroyed from outside. Work that could not be
// kept is said once while typing, and once more when the window is closed.
#pragma once

#include "keptsession.h"
#include "sessionstore.h"

#include <QObject>
#include <QTimer>

#include <optional>

class MessageBox;
class QWidget;

class SessionKeeper final : public QObject
{
    Q_OBJECT
public:
    /// The longest time a change waits before it is written.
    static constexpr int DelayMs = 2000;

    /// window is the main window, found by its controls' names; all three outlive the keeper.
    SessionKeeper(QWidget &window, SessionStore &store, MessageBox &messageBox);
    ~SessionKeeper() override;

    /// The start, once the window holds what a new window holds: takes the kept session and
    /// asks whether to restore it (はい restores, いいえ sets it aside); an unreadable one is
    /// moved aside with one warning. From then on every change is kept.
    void offer();
    /// Writes what changed since the last write, now.
    void keep();

    /// The session the window holds.
    KeptSession collect() const;
    /// The session a main window holds: its fields, the document box's font and guide.
    static KeptSession collect(const QWidget &window);
    /// Puts a kept session into the window; the date box keeps its date.
    void restore(const KeptSession &session);

public Q_SLOTS:
    /// Writes what changed and is not yet written, then writes nothing (no timer, no write at
    /// the end) until release(): the window holds what the user may still take back.
    void hold();
    /// The window's fields are the work again: written as after any change.
    void release();

Q_SIGNALS:
    /// The session the user chose to restore is in the window.
    void restored();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch();
    void changed();
    void write(bool timed);
    void closing();
    void takeUnreadable();
    bool likeNew(const KeptSession &session) const;

    QWidget &m_window;
    SessionStore &m_store;
    MessageBox &m_messageBox;
    KeptSession m_new; // what a new window holds
    QTimer m_timer;
    bool m_changed = false;
    bool m_held = false;
    bool m_failureTold = false;
    bool m_endTold = false;
    std::optional<SessionStore::Failure> m_failure; // why the last write failed
};
