// The author's own address, the sender of every issue and the recipient of a test: asked once,
// kept in $XDG_CONFIG_HOME/zelvora/sender as UTF-8 JSON:
//
//   { "format": "zelvora-sender", "version": 1, "address": "taro@example.jp", "name": "山田太郎" }
//
// Until it is set the transport names the sender from its own settings.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

struct Sender
{
    QString address;
    QString name; // may be empty

    friend bool operator==(const Sender &, const Sender &) = default;

    /// The file's bytes.
    QByteArray toBytes() const;
    /// The sender a file keeps; nothing when it is damaged, of another version, or its address
    /// would not be accepted.
    static std::optional<Sender> parse(const QByteArray &bytes);

    /// The address the window offers first: the address written in the E-mail field, else the
    /// one the transport sends from, else none.
    static QString offered(const QString &emailLine, const QString &transportSender);
};
