#include "desktopnotifier.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

// A notification service that does not answer within this time is taken to be missing.
constexpr int AnswerWithinMs = 3000;

QDBusMessage notificationsCall(const QString &method)
{
    return QDBusMessage::createMethodCall(u"org.freedesktop.Notifications"_s,
                                          u"/org/freedesktop/Notifications"_s,
                                          u"org.freedesktop.Notifications"_s, method);
}

} // namespace

DesktopNotifier::DesktopNotifier(QString applicationId)
    : m_applicationId(std::move(applicationId))
{ }

DesktopNotifier::DesktopNotifier(QString applicationId, const QDBusConnection &bus)
    : m_applicationId(std::move(applicationId))
    , m_bus(std::make_unique<QDBusConnection>(bus))
{ }

// Dropping a question still asked drops its connection, so that no answer reaches a notifier
// that is gone.
DesktopNotifier::~DesktopNotifier() = default;

QDBusConnection DesktopNotifier::bus() const
{
    return m_bus ? *m_bus : QDBusConnection::sessionBus();
}

void DesktopNotifier::notify(const QString &summary, const QString &body,
                             std::function<void()> unanswered)
{
    const QDBusConnection bus = this->bus();
    if (!bus.isConnected()) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(unanswered),
                                  Qt::QueuedConnection);
        return;
    }
    Waiting notification { summary, body, std::move(unanswered) };
    if (m_markup) {
        send(bus, notification);
        return;
    }
    m_waiting.push_back(std::move(notification));
    if (!m_asking)
        askCapabilities(bus);
}

// A service that reads bodies as markup would take the angle brackets of an address for a tag
// and hide the address, or refuse a name with an ampersand, so it is asked once how it reads
// them. Asked without waiting: a slow service never holds the window.
void DesktopNotifier::askCapabilities(const QDBusConnection &bus)
{
    m_asking = std::make_unique<QDBusPendingCallWatcher>(
        bus.asyncCall(notificationsCall(u"GetCapabilities"_s), AnswerWithinMs));
    QObject::connect(m_asking.get(), &QDBusPendingCallWatcher::finished, m_asking.get(),
                     [this](QDBusPendingCallWatcher *answer) { answered(*answer); });
}

void DesktopNotifier::answered(const QDBusPendingCallWatcher &answer)
{
    m_asking.release()->deleteLater();
    const QDBusPendingReply<QStringList> capabilities = answer;
    const std::vector<Waiting> waiting = std::exchange(m_waiting, {});
    // A service that does not say how it reads a body would not show one either. It is asked
    // again at the next notification, in case one has started since.
    if (capabilities.isError()) {
        for (const Waiting &notification : waiting)
            notification.unanswered();
        return;
    }
    m_markup = capabilities.value().contains(u"body-markup"_s);
    const QDBusConnection bus = this->bus();
    for (const Waiting &notification : waiting)
        send(bus, notification);
}

void DesktopNotifier::send(const QDBusConnection &bus, const Waiting &notification) const
{
    QDBusMessage call = notificationsCall(u"Notify"_s);
    const QVariantMap hints { { u"desktop-entry"_s, m_applicationId },
                              { u"urgency"_s, QVariant::fromValue(uchar(1)) } };
    // The summary is plain text for every service; only the body may be read as markup.
    call << QCoreApplication::applicationName() << uint(0) << m_applicationId
         << notification.summary
         << (*m_markup ? notification.body.toHtmlEscaped() : notification.body) << QStringList()
         << hints << int(-1);
    auto watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, AnswerWithinMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [unanswered = notification.unanswered](QDBusPendingCallWatcher *answer) {
                         if (answer->isError())
                             unanswered();
                         answer->deleteLater();
                     });
}
