// How errors reach the user: the warning box of the procedures that trap errors, and the
// top-level handling for the rest. After either, the program keeps running with every field
// as it was: an unsent magazine is never thrown away because a helper program was missing.
#pragma once

#include "error.h"
#include "messagebox.h"

#include <QObject>

namespace ErrorHandling {

/// The program's title, shown on every message box.
inline QString appTitle()
{
    return QStringLiteral("Zelvora");
}

/// The warning box of a trapped error: the number, one CR, the description; exclamation, OK.
inline void showWarning(MessageBox &box, const Error &error)
{
    box.show(QString::number(error.number) + u'\r' + error.description, MessageBox::Exclamation,
             appTitle());
}

/// The top-level handling of an error no procedure trapped.
inline void reportUntrapped(MessageBox &box, const Error &error)
{
    box.show(QStringLiteral("エラー ") + QString::number(error.number) + u'\r' + error.description,
             MessageBox::Critical, appTitle());
}

/// Runs an event handler so that no exception escapes into the event loop: errors it does not
/// trap go to the top-level handling.
template<typename Handler> void runHandler(MessageBox &box, Handler &&handler)
{
    if (const auto error = trap(std::forward<Handler>(handler)))
        reportUntrapped(box, *error);
}

/// Connects signal of sender to a window's event handler, run through runHandler().
template<typename Sender, typename Signal, typename Window>
void connectHandler(MessageBox &box, Sender *sender, Signal signal, Window *window,
                    void (Window::*handler)())
{
    QObject::connect(sender, signal, window,
                     [&box, window, handler] { runHandler(box, [&] { (window->*handler)(); }); });
}

} // namespace ErrorHandling
