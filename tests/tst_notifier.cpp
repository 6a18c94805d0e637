// Desktop notifications over the session bus of the test's own (dbus-run-session): a
// notification service in the test process takes what the program sends; without one, or
// without a bus, the program is told from its event loop.
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
    // "no bus": a service runs, but on a bus the notifier is not connected to.
    void notifies_data()
    {
        QTest::addColumn<bool>("service");
        QTest::addColumn<bool>("bus");
        QTest::newRow("a notification service") << true << true;
        QTest::newRow("none") << false << true;
        QTest::newRow("no bus") << true << false;
    }
    void notifies()
    {
        QFETCH(bool, service);
        QFETCH(bool, bus);
        QCoreApplication::setApplicationName(u"Zelvora"_s);
        QDBusConnection session = QDBusConnection::sessionBus();
        QVERIFY(session.isConnected());
        NotificationService notifications;
        if (service) {
            QVERIFY(session.registerObject(u"/org/freedesktop/Notifications"_s, &notifications,
                                           QDBusConnection::ExportAllSlots));
            QVERIFY(session.registerService(u"org.freedesktop.Notifications"_s));
        }
        const QString id = u"example.tavrinsoft.Zelvora"_s;
        const auto notifier = bus
            ? std::make_unique<DesktopNotifier>(id)
            : std::make_unique<DesktopNotifier>(
                id, QDBusConnection::connectToBus(u"unix:path=/nonexistent"_s, u"none"_s));
        bool unanswered = false;
        notifier->notify(u"送信しました"_s, u"本文"_s, [&] { unanswered = true; });
        QVERIFY(!unanswered); // from the event loop, once the caller has gone on
        if (service && bus)
            QTRY_COMPARE(notifications.received,
                         QStringList({ u"Zelvora"_s, id, u"送信しました"_s, u"本文"_s, id }));
        else
            QTRY_VERIFY(unanswered);
        session.unregisterService(u"org.freedesktop.Notifications"_s);
        session.unregisterObject(u"/org/freedesktop/Notifications"_s);
        QCOMPARE(notifications.received.isEmpty(), unanswered);
    }
};

QTEST_GUILESS_MAIN(TestNotifier)
#include "tst_notifier.moc"
