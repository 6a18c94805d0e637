// The copies of the issues sent, in $XDG_DATA_HOME/zelvora/sent/ (~/.local/share/zelvora/sent/):
// one .eml file per send, named by the local date and time, that any mail program opens.
#pragma once

#include "sentcopies.h"

#include <QDateTime>

#include <functional>

class SentFolder final : public SentCopies
{
public:
    /// The folder the real program keeps its copies in.
    static QString defaultFolder();

    /// now gives the time a copy is named by.
    explicit SentFolder(QString folder = defaultFolder(),
                        std::function<QDateTime()> now = &QDateTime::currentDateTime);

    void keep(const QByteArray &message) override;
    std::optional<Failure> lastFailure() const override;

    /// The file the last copy was written to; empty when none was.
    QString lastFile() const;

private:
    QString m_folder;
    std::function<QDateTime()> m_now;
    QString m_lastFile;
    std::optional<Failure> m_lastFailure;
};
