// Desktop notifications over the session bus of the test's own (dbus-run-session): a
// notification service in the test process takes what the program sends; without one, the
// program is told at once.
#include "desktopnotifier.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTest>

using namespace Qt::StringLiterals;

class NotificationService final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList received;
public Q_SLOTS:
    uint Notify(const QString &app, uint, const QString &icon, const QString &summary,
                const QString &body, const QStringList &, const QVariantMap &hints, int)
    {
        received = { app, icon, summary, body, hints.value(u"desktop-entry"_s).toString() };
        return 1;
    }
};

class TestNotifier final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void notifies_data()
    {
        QTest::addColumn<bool>("service");
        QTest::newRow("a notification service") << true;
        QTest::newRow("none") << false;
    }
    void notifies()
    {
        QFETCH(bool, service);
        QCoreApplication::setApplicationName(u"Zelvora"_s);
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.isConnected());
        NotificationService notifications;
        if (service) {
            QVERIFY(bus.registerObject(u"/org/freedesktop/Notifications"_s, &notifications,
                                       QDBusConnection::ExportAllSlots));
            QVERIFY(bus.registerService(u"org.freedesktop.Notifications"_s));
        }
        bool unanswered = false;
        DesktopNotifier(u"example.tavrinsoft.Zelvora"_s).notify(u"送信しました"_s, u"本文"_s, [&] {
            unanswered = true;
        });
        if (service) {
            const QStringList expected { u"Zelvora"_s, u"example.tavrinsoft.Zelvora"_s,
                                         u"送信しました"_s, u"本文"_s,
                                         u"example.tavrinsoft.Zelvora"_s };
            QTRY_COMPARE(notifications.received, expected);
            bus.unregisterService(u"org.freedesktop.Notifications"_s);
            bus.unregisterObject(u"/org/freedesktop/Notifications"_s);
        } else {
            QTRY_VERIFY(unanswered);
        }
        QVERIFY(notifications.received.isEmpty() || !unanswered);
    }
};

QTEST_GUILESS_MAIN(TestNotifier)
#include "tst_notifier.moc"
