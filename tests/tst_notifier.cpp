// Desktop notifications over the test's own session bus, with and without a service in it.
#include "desktopnotifier.h"
#include "windowtest.h"

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
    QStringList capabilities;
    int asked = 0;
    QList<QStringList> received;
public Q_SLOTS:
    QStringList GetCapabilities()
    {
        ++asked;
        return capabilities;
    }
    uint Notify(const QString &app, uint, const QString &icon, const QString &summary,
                const QString &body, const QStringList &, const QVariantMap &hints, int)
    {
        received.append({ app, icon, summary, body, hints.value(u"desktop-entry"_s).toString() });
        return 1;
    }
};

class TestNotifier final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // "no bus": a service runs, but on a bus the notifier is not connected to. A service that
    // reads bodies as markup gets the address as typed, not as a tag; the summary is never markup.
    void notifies_data()
    {
        columns<bool, bool, QStringList, QString>({ "service", "bus", "capabilities", "shown" });
        QTest::newRow("a service reading markup")
            << true << true << QStringList { u"body"_s, u"body-markup"_s }
            << u"09:05 に &quot;山田 &amp; 花子&quot; &lt;taro@example.jp&gt; 宛て"_s;
        QTest::newRow("a service reading plain text")
            << true << true << QStringList { u"body"_s }
            << u"09:05 に \"山田 & 花子\" <taro@example.jp> 宛て"_s;
        QTest::newRow("none") << false << true << QStringList() << QString();
        QTest::newRow("no bus") << true << false << QStringList() << QString();
    }
    void notifies()
    {
        QFETCH(bool, service);
        QFETCH(bool, bus);
        QFETCH(QStringList, capabilities);
        QFETCH(QString, shown);
        QCoreApplication::setApplicationName(u"Zelvora"_s);
        QDBusConnection session = QDBusConnection::sessionBus();
        QVERIFY(session.isConnected());
        NotificationService notifications;
        notifications.capabilities = capabilities;
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
        const QString summary = u"「春 & 夏」号を送信しました"_s;
        int unanswered = 0;
        const auto tell = [&] {
            notifier->notify(summary, u"09:05 に \"山田 & 花子\" <taro@example.jp> 宛て"_s,
                             [&] { ++unanswered; });
        };
        tell();
        tell(); // while the service is still being asked
        QCOMPARE(unanswered, 0); // from the event loop, once the caller has gone on
        if (service && bus) {
            QTRY_COMPARE(notifications.received.size(), 2);
            tell(); // as the service answered the first time
            QTRY_COMPARE(notifications.received,
                         QList<QStringList>(3, { u"Zelvora"_s, id, summary, shown, id }));
            QCOMPARE(notifications.asked, 1);
        } else {
            QTRY_COMPARE(unanswered, 2);
        }
        session.unregisterService(u"org.freedesktop.Notifications"_s);
        session.unregisterObject(u"/org/freedesktop/Notifications"_s);
        QCOMPARE(notifications.received.isEmpty(), unanswered > 0);
    }
};

QTEST_GUILESS_MAIN(TestNotifier)
#include "tst_notifier.moc"
