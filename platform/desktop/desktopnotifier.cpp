#include "desktopnotifier.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QVariantMap>

using namespace Qt::StringLiterals;

namespace {

// A notification service that does not answer within this time is taken to be missing.
constexpr int AnswerWithinMs = 3000;

} // namespace

DesktopNotifier::DesktopNotifier(QString applicationId)
    : m_applicationId(std::move(applicationId))
{ }

DesktopNotifier::DesktopNotifier(QString applicationId, const QDBusConnection &bus)
    : m_applicationId(std::move(applicationId))
    , m_bus(std::make_unique<QDBusConnection>(bus))
{ }

DesktopNotifier::~DesktopNotifier() = default;

void DesktopNotifier::notify(const QString &summary, const QString &body,
                             std::function<void()> unanswered)
{
    QDBusConnection bus = m_bus ? *m_bus : QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(unanswered),
                                  Qt::QueuedConnection);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        u"org.freedesktop.Notifications"_s, u"/org/freedesktop/Notifications"_s,
        u"org.freedesktop.Notifications"_s, u"Notify"_s);
    const QVariantMap hints { { u"desktop-entry"_s, m_applicationId },
                              { u"urgency"_s, QVariant::fromValue(uchar(1)) } };
    call << QCoreApplication::applicationName() << uint(0) << m_applicationId << summary << body
         << QStringList() << hints << int(-1);
    // Asked without waiting: a slow service never holds the window.
    auto watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, AnswerWithinMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [unanswered = std::move(unanswered)](QDBusPendingCallWatcher *answer) {
                         if (answer->isError())
                             unanswered();
                         answer->deleteLater();
                     });
}
