#include "filesendersettings.h"

#include "privatefolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 MaxBytes = 64 * 1024;

// A small regular file's bytes; nothing for a link to elsewhere that is not a file, a pipe, or
// what cannot be read.
std::optional<QByteArray> readSmall(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > MaxBytes)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.read(MaxBytes);
}

} // namespace

QString FileSenderSettings::defaultFolder()
{
    return PrivateFolder::underXdg("XDG_CONFIG_HOME", u"/.config"_s);
}

QStringList FileSenderSettings::defaultMsmtpFiles()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(config))
        config = QDir::homePath() + u"/.config"_s;
    return { config + u"/msmtp/config"_s, QDir::homePath() + u"/.msmtprc"_s, u"/etc/msmtprc"_s };
}

FileSenderSettings::FileSenderSettings(QString folder, QStringList msmtpFiles)
    : m_folder(std::move(folder))
    , m_msmtpFiles(std::move(msmtpFiles))
{ }

QString FileSenderSettings::location() const
{
    return m_folder + u"/sender"_s;
}

std::optional<Sender> FileSenderSettings::load()
{
    const auto bytes = readSmall(location());
    return bytes ? Sender::parse(*bytes) : std::nullopt;
}

std::optional<QString> FileSenderSettings::save(const Sender &sender)
{
    if (const auto made = PrivateFolder::make(m_folder); !made)
        return made.reason;
    return PrivateFolder::write(location(), sender.toBytes());
}

QString FileSenderSettings::transportSender()
{
    for (const QString &path : std::as_const(m_msmtpFiles)) {
        if (QFileInfo::exists(path)) {
            const auto bytes = readSmall(path);
            return bytes ? msmtpSender(*bytes) : QString();
        }
    }
    return {};
}

QString FileSenderSettings::msmtpSender(const QByteArray &configuration)
{
    QMap<QString, QString> from; // by account; "" for the defaults section
    QString account, firstAccount, defaultAlias;
    for (const QByteArray &raw : configuration.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        const qsizetype space = line.indexOf(QRegularExpression(u"\\s"_s));
        const QString key = line.left(space);
        const QString value = space < 0 ? QString() : line.mid(space).trimmed();
        if (key == u"defaults"_s) {
            account.clear();
        } else if (key == u"account"_s) {
            // "account default : work" makes "work" the default account.
            const QStringList parts = value.split(u':');
            account = parts.first().trimmed();
            if (account == u"default"_s && parts.size() > 1)
                defaultAlias = parts.at(1).trimmed();
            if (firstAccount.isEmpty())
                firstAccount = account;
        } else if (key == u"from"_s) {
            from.insert(account, value);
        }
    }
    if (!defaultAlias.isEmpty() && from.contains(defaultAlias))
        return from.value(defaultAlias);
    for (const QString &name : { u"default"_s, QString(), firstAccount }) {
        if (from.contains(name))
            return from.value(name);
    }
    return {};
}
