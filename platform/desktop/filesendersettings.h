// The author's address in $XDG_CONFIG_HOME/zelvora/sender (~/.config/zelvora/sender), readable by
// the author alone; and the sender msmtp is set to use, read from its configuration.
#pragma once

#include "sendersettings.h"

#include <QStringList>

class FileSenderSettings final : public SenderSettings
{
public:
    /// The folder the real program keeps its settings in.
    static QString defaultFolder();

    /// msmtpFiles: msmtp's configuration files, the first that exists is read.
    explicit FileSenderSettings(QString folder = defaultFolder(),
                                QStringList msmtpFiles = defaultMsmtpFiles());

    std::optional<Sender> load() override;
    std::optional<QString> save(const Sender &sender) override;
    QString transportSender() override;
    QString location() const override;

    /// Where msmtp looks for its configuration: the user's own, then the system's.
    static QStringList defaultMsmtpFiles();
    /// The sender of msmtp's default account in a configuration file's text: the "from" of the
    /// account "default" (or of the account it names), else of the "defaults" section, else of
    /// the first account.
    static QString msmtpSender(const QByteArray &configuration);

private:
    QString m_folder;
    QStringList m_msmtpFiles;
};
