// Desktop notifications through org.freedesktop.Notifications on the session bus, under the
// program's name and the icon its desktop entry names.
#pragma once

#include "notifier.h"

#include <memory>

class QDBusConnection;

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
    QString m_applicationId;
    std::unique_ptr<QDBusConnection> m_bus; // none: the session bus
};
