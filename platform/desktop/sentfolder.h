// The copies of the issues sent, in $XDG_DATA_HOME/zelvora/sent/ (~/.local/share/zelvora/sent/):
// one .eml file per send, named by the local date and time, that any mail program opens, with
// the fields the issue was made from beside it (".fields", the kept session's format); and
// beside them "record", the hand-offs of every running instance, one line each:
//   <time, ISO 8601 with its offset> TAB <address, lowercased> TAB <SHA-256 of the document, hex>
//   TAB confirmed|unconfirmed TAB <the copy's file name, empty when none was written>
// Never the document's text. In the address, %, TAB, CR and LF are written %25, %09, %0D, %0A.
// Instances take turns by "record.lock"; a record that cannot be read is set aside as
// "record.unreadable" (numbered after the first) and a new one begun.
#pragma once

#include "sentcopies.h"

#include <QDateTime>

#include <functional>

class QLockFile;

class SentFolder final : public SentCopies
{
public:
    /// The folder the real program keeps its copies in.
    static QString defaultFolder();

    /// now gives the time a copy is named by and a hand-off recorded at.
    explicit SentFolder(QString folder = defaultFolder(),
                        std::function<QDateTime()> now = &QDateTime::currentDateTime);

    void keep(const QByteArray &message, const Delivery &delivery) override;
    void keepFields(const QByteArray &fields) override;
    QList<Recorded> recorded(const QString &address, const QString &document) override;
    QString folder() const override { return m_folder; }
    std::optional<Failure> lastFailure() const override;

    /// The file the last copy was written to; empty when none was.
    QString lastFile() const;
    /// The record of the hand-offs.
    QString recordFile() const;

private:
    std::optional<Failure> writeCopy(const QByteArray &message, const QDateTime &at);
    std::optional<Failure> record(const QByteArray &line);
    std::optional<QByteArray> readRecord() const;
    std::optional<Failure> setRecordAside();
    bool lock(QLockFile &lock, std::optional<Failure> &failure) const;

    QString m_folder;
    std::function<QDateTime()> m_now;
    QString m_lastFile;
    QString m_fieldsDue; // the copy whose fields are still to be kept
    std::optional<Failure> m_lastFailure;
    bool m_stuckTold = false; // an unreadable record that could not be moved was reported
};
