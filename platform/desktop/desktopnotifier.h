// Desktop notifications through org.freedesktop.Notifications on the session bus, under the
// program's name and the icon its desktop entry names.
#pragma once

#include "notifier.h"

class DesktopNotifier final : public Notifier
{
public:
    /// applicationId: the name of the program's desktop entry and of its icon.
    explicit DesktopNotifier(QString applicationId);

    void notify(const QString &summary, const QString &body,
                std::function<void()> unanswered) override;

private:
    QString m_applicationId;
};
