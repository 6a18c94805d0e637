// Where the author's own address is kept, and what the mail transport knows of it.
#pragma once

#include "sender.h"

#include <QString>

#include <functional>
#include <optional>

class SenderSettings
{
public:
    virtual ~SenderSettings() = default;
    /// The author's address as kept; nothing when none is, or what is kept cannot be read.
    virtual std::optional<Sender> load() = 0;
    /// Keeps the address; the system's words when it could not be written, the old file kept.
    virtual std::optional<QString> save(const Sender &sender) = 0;
    /// The address the transport sends from by its own settings; empty where none can be read.
    virtual QString transportSender() = 0;
    /// The file the address is kept in.
    virtual QString location() const = 0;
};

/// The small window that asks the author for their address.
class SenderDialog
{
public:
    virtual ~SenderDialog() = default;
    /// Asks for the address, offering offered; problem says what is wrong with a typed one
    /// (empty when nothing is), and the window stays until it is right or the author cancels.
    /// Nothing when cancelled.
    virtual std::optional<Sender> ask(const Sender &offered,
                                      const std::function<QString(const Sender &)> &problem)
        = 0;
};
