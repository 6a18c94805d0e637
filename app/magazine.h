// The メルマガ menu: the magazine as a series. The issues sent to read back (BacknumberWindow),
// the next issue made from the last or from any one sent, a test to the author's own address
// before the list gets the issue, and that address, which every issue then names as its sender.
#pragma once

#include "documentsender.h"
#include "sender.h"
#include "backnumberwindow.h"
#include "services.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class ClearAll;
class QMenuBar;
class QWidget;

class Magazine final : public QObject
{
    Q_OBJECT
public:
    /// What the main window does for the menu.
    struct Window
    {
        QWidget *client = nullptr; // where the fields are, by their roles
        ClearAll *replacer = nullptr; // puts the next issue in, with 元に戻す
        QString documentPlaceholder; // the document box's initial text
        std::function<bool()> holdsUnsentWork;
        std::function<void(const OutgoingDocument &)> send; // through the window's sender
    };

    Magazine(const Services &services, Window window, QObject *parent = nullptr);
    ~Magazine() override;

    /// Adds the menu to the menu bar.
    void addMenu(QMenuBar *menuBar);

    /// 「バックナンバー」: the window of the issues sent, opened or brought to the front.
    void showBacknumbers();
    /// 「前号から次号を作る」: the next issue from the newest one sent.
    void nextFromNewest();
    /// The next issue from the copy of one sent: its fields, numbered up, dated today, with an
    /// empty body; the document box only, for a copy kept without its fields.
    void nextFrom(const QString &copy);
    /// 「自分にテスト送信」: the document as it stands to the author's own address.
    void sendTest();
    /// 「差出人の設定」: asks for the author's address and keeps it; nothing when cancelled.
    std::optional<Sender> askSender();

    /// The backnumber window, while it is open.
    BacknumberWindow *backnumbers() const { return m_backnumbers; }

Q_SIGNALS:
    /// The window holds a new issue, made from no document yet.
    void issueStarted();

private:
    QString textOf(const char *role) const;
    void warn(const QString &text) const;

    Services m_services;
    Window m_window;
    QPointer<BacknumberWindow> m_backnumbers;
};
