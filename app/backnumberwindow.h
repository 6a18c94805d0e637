// The issues sent, newest first, each on one line: when, to whom, the issue and the body's first
// line; beside the list the selected issue's text as readers get it, to read and copy; and the
// next issue made from the one selected. The folder is read off the user-interface thread, so
// the window opens at once and fills as the copies are read; a copy that cannot be read is
// listed with the reason.
#pragma once

#include "backnumbers.h"

#include <QFutureWatcher>
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;
class Shell;
class TextBox;

class BacknumberWindow final : public QWidget
{
    Q_OBJECT
public:
    /// folder: where the copies are kept; shell opens a copy or the folder with the desktop's
    /// programs. The shell outlives the window.
    BacknumberWindow(QString folder, Shell &shell, QWidget *parent = nullptr);
    ~BacknumberWindow() override;

    /// Reads the folder again, the newest issue selected once it is listed.
    void reload();
    /// The copy selected; empty when none is.
    QString selectedFile() const;

Q_SIGNALS:
    /// 「この号から次号を作る」 on the selected copy.
    void nextIssueRequested(const QString &file);
    /// The folder is read to the end.
    void listed();
    /// The selected issue's text is shown.
    void shown();

private:
    void addRows(int begin, int end);
    void finishListing();
    void showSelected();
    void open(const QString &path);

    QString m_folder;
    Shell &m_shell;
    QListWidget *m_list;
    TextBox *m_text;
    QLabel *m_status;
    QPushButton *m_next;
    QPushButton *m_openCopy;
    QFutureWatcher<Backnumbers::Summary> m_listing;
    QFutureWatcher<Backnumbers::Issue> m_reading;
    QString m_readingFile;
    int m_unreadable = 0;
};
