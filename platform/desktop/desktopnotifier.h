// Desktop notifications through org.freedesktop.Notifications on the session bus, under the
// program's name and the icon its desktop entry names.
#pragma once

#include "notifier.h"

#include <memory>
#include <optional>
#include <vector>

class QDBusConnection;
class QDBusPendingCallWatcher;

class DesktopNotifier final : public Notifier
{
public:
    /// applicationId: the name of the program's desktop entry and of its icon. Tells through the
    /// session bus, reached at the first notification, so that a start never waits for it.
    explicit DesktopNotifier(QString applicationId);
    /// Tells through bus instead, connected or not.
    DesktopNotifier(QString applicationId, const QDBusConnection &bus);
    ~DesktopNotifier() override;

    void notify(const QString &summary, const QString &body,
                std::function<void()> unanswered) override;

private:
    struct Waiting
    {
        QString summary;
        QString body;
        std::function<void()> unanswered;
    };

    QDBusConnection bus() const;
    void askCapabilities(const QDBusConnection &bus);
    void answered(const QDBusPendingCallWatcher &answer);
    void send(const QDBusConnection &bus, const Waiting &notification) const;

    QString m_applicationId;
    std::unique_ptr<QDBusConnection> m_bus; // none: the session bus
    std::optional<bool> m_markup; // the service's answer: whether it reads bodies as markup
    std::unique_ptr<QDBusPendingCallWatcher> m_asking; // while the service is being asked
    std::vector<Waiting> m_waiting; // notifications held until the service answers
};
