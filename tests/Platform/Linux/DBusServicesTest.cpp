// The D-Bus adapters against a real session bus. Desktop services that a test session does
// not have (GNOME's idle monitor, the screen-saver service, logind) are played by objects of
// this test on a connection of their own, served from a thread of their own as a separate
// process would.
#include <gtest/gtest.h>

#include "Platform/Linux/SettingsPortal.h"
#include "Support/PostureBodies.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include "Platform/Linux/DBusIdleSource.h"
#include "Platform/Linux/DBusNotifier.h"
#include "Platform/Linux/LogindSleepMonitor.h"
#include "Platform/Linux/StatusNotifierHost.h"
#include "Support/RealServices.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

class StandInScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public slots:
    uint GetSessionIdleTime() { return 61'500; }
};

class StandInIdleMonitor : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Mutter.IdleMonitor")
public slots:
    qulonglong GetIdletime() { return 7'200'000; }
};

// The desktop's settings portal, as GNOME's answers: animations off, no high contrast.
class StandInSettingsPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public slots:
    QDBusVariant Read(const QString& group, const QString& key) {
        if (group == u"org.gnome.desktop.interface"_s && key == u"enable-animations"_s) {
            return QDBusVariant(QVariant::fromValue(QDBusVariant(false)));
        }
        if (group == u"org.gnome.desktop.a11y.interface"_s && key == u"high-contrast"_s) {
            return QDBusVariant(false);
        }
        return QDBusVariant(0U);  // org.freedesktop.appearance contrast: none asked for
    }
};

namespace {

bool sessionBusUp() {
    return QDBusConnection::sessionBus().isConnected();
}

// dunstctl acts on the first notification on screen: start each test with none there.
void clearNotifications() {
    QProcess::execute(u"dunstctl"_s, {u"close-all"_s});
}

// A second bus connection, as another program on the desktop would have.
class Peer {
public:
    explicit Peer(const QString& name)
        : connection_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)) {
        thread_.start();
    }
    ~Peer() {
        for (const QString& service : services_) {
            connection_.unregisterService(service);
        }
        QDBusConnection::disconnectFromBus(connection_.name());
        thread_.quit();
        thread_.wait();
    }
    bool offer(const QString& service, const QString& path, QObject* object) {
        object->moveToThread(&thread_);
        services_ << service;
        return connection_.registerService(service) &&
               connection_.registerObject(path, object, QDBusConnection::ExportAllSlots);
    }
    bool own(const QString& service) {
        services_ << service;
        return connection_.registerService(service);
    }
    QDBusConnection& connection() { return connection_; }

private:
    QDBusConnection connection_;
    QThread thread_;
    QStringList services_;
};

}  // namespace

TEST(DBusIdleSource, ReadsIdleTimeFromTheDesktopsServiceAndNothingWhenItIsAbsent) {
    SPINDREL_REQUIRE_SERVICE(sessionBusUp(), "a session bus");
    const QDBusConnection bus = QDBusConnection::sessionBus();
    DBusIdleSource screenSaver(bus, DBusIdleSource::screenSaver());
    DBusIdleSource mutter(bus, DBusIdleSource::mutterIdleMonitor());
    EXPECT_EQ(screenSaver.idleTime(), std::nullopt);
    EXPECT_EQ(mutter.idleTime(), std::nullopt);

    Peer desktop(u"standin-desktop"_s);
    StandInScreenSaver screenSaverService;
    StandInIdleMonitor idleMonitorService;
    ASSERT_TRUE(desktop.offer(u"org.freedesktop.ScreenSaver"_s, u"/org/freedesktop/ScreenSaver"_s,
                              &screenSaverService));
    ASSERT_TRUE(desktop.offer(u"org.gnome.Mutter.IdleMonitor"_s,
                              u"/org/gnome/Mutter/IdleMonitor/Core"_s, &idleMonitorService));
    EXPECT_EQ(screenSaver.idleTime(), 61'500ms);
    EXPECT_EQ(mutter.idleTime(), 2h);
}

TEST(StatusNotifierHost, APanelThatIsNeitherGnomeNorKdeIsTakenToDrawIconsAsGiven) {
    SPINDREL_REQUIRE_SERVICE(sessionBusUp(), "a session bus");
    const QDBusConnection bus = QDBusConnection::sessionBus();
    EXPECT_EQ(statusNotifierHost(bus), StatusNotifierHost::none);
    Peer panel(u"standin-panel"_s);
    ASSERT_TRUE(panel.own(u"org.kde.StatusNotifierWatcher"_s));
    EXPECT_EQ(statusNotifierHost(bus), StatusNotifierHost::asGiven);
}

TEST(LogindSleepMonitor, ReportsSuspendAndResumeFromLogind) {
    SPINDREL_REQUIRE_SERVICE(sessionBusUp(), "a session bus");
    Peer logind(u"standin-logind"_s);
    ASSERT_TRUE(logind.own(u"org.freedesktop.login1"_s));
    LogindSleepMonitor monitor(QDBusConnection::sessionBus());
    ASSERT_TRUE(monitor.isListening());
    QSignalSpy sleeping(&monitor, &LogindSleepMonitor::aboutToSleep);
    QSignalSpy resumed(&monitor, &LogindSleepMonitor::resumed);

    const auto prepareForSleep = [](Peer& sender, bool start) {
        QDBusMessage signal =
            QDBusMessage::createSignal(u"/org/freedesktop/login1"_s,
                                       u"org.freedesktop.login1.Manager"_s, u"PrepareForSleep"_s);
        signal << start;
        return sender.connection().send(signal);
    };
    ASSERT_TRUE(prepareForSleep(logind, true));
    ASSERT_TRUE(sleeping.wait(3000));
    ASSERT_TRUE(prepareForSleep(logind, false));
    ASSERT_TRUE(resumed.wait(3000));
    EXPECT_EQ(sleeping.count(), 1);

    // The same signal from anyone but logind is not believed.
    Peer impostor(u"impostor"_s);
    ASSERT_TRUE(prepareForSleep(impostor, true));
    EXPECT_FALSE(sleeping.wait(500));
}

TEST(DBusNotifier, ReportsTheDefaultActionOfItsOwnNotificationsAndNoOthersAsAClick) {
    SPINDREL_REQUIRE_SERVICE(sessionBusUp(), "a session bus");
    DBusNotifier notifier(QDBusConnection::sessionBus());
    SPINDREL_REQUIRE_SERVICE(notifier.canPost(), "a notification daemon");
    QSignalSpy clicked(&notifier, &Notifier::clicked);
    clearNotifications();

    notifier.post({u"Chair Wins Again"_s, u"Score: Chair 45, You 0. <stand> & win\n\n📊 fact"_s});
    // Let the daemon take it and show it before it is clicked.
    QTest::qWait(700);
    ASSERT_EQ(QProcess::execute(u"dunstctl"_s, {u"action"_s, u"0"_s}), 0);
    EXPECT_TRUE(clicked.wait(3000));
    EXPECT_EQ(clicked.count(), 1);

    // A click on another program's notification is not ours.
    clearNotifications();
    QDBusMessage other = QDBusMessage::createMethodCall(
        u"org.freedesktop.Notifications"_s, u"/org/freedesktop/Notifications"_s,
        u"org.freedesktop.Notifications"_s, u"Notify"_s);
    other << u"Other"_s << uint{0} << QString() << u"Elsewhere"_s << u"not ours"_s
          << QStringList{u"default"_s, u"Open"_s} << QVariantMap() << int{-1};
    const QDBusMessage reply = QDBusConnection::sessionBus().call(other);
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage);
    QTest::qWait(500);
    ASSERT_EQ(QProcess::execute(u"dunstctl"_s, {u"action"_s, u"0"_s}), 0);
    EXPECT_FALSE(clicked.wait(1000));
    EXPECT_EQ(clicked.count(), 1);
}

#include "DBusServicesTest.moc"

TEST(SettingsPortal, ReadsTheDesktopsSettings) {
    SPINDREL_REQUIRE_SERVICE(sessionBusUp(), "a session bus");
    Peer desktop(u"standin-portal"_s);
    StandInSettingsPortal portal;
    ASSERT_TRUE(desktop.offer(u"org.freedesktop.portal.Desktop"_s,
                              u"/org/freedesktop/portal/desktop"_s, &portal));
    SettingsPortal preferences(QDBusConnection::sessionBus());
    ASSERT_TRUE(waitUntil([&] { return preferences.reduceMotion(); }));
    EXPECT_FALSE(preferences.reduceTransparency());
}

TEST(SettingsPortal, FollowsChangedSettingsLiveAndKeepsDefaultsWithoutAPortal) {
    SPINDREL_REQUIRE_SERVICE(sessionBusUp(), "a session bus");
    SettingsPortal preferences(QDBusConnection::sessionBus());
    QTest::qWait(200);
    EXPECT_FALSE(preferences.reduceMotion());
    EXPECT_FALSE(preferences.reduceTransparency());

    // Sent from another program, as the portal does when the user flips a switch.
    const auto changeSetting = [](const QString& group, const QString& key, bool value) {
        return QProcess::execute(
                   u"dbus-send"_s,
                   {u"--session"_s, u"--type=signal"_s, u"/org/freedesktop/portal/desktop"_s,
                    u"org.freedesktop.portal.Settings.SettingChanged"_s, u"string:"_s + group,
                    u"string:"_s + key,
                    u"variant:boolean:"_s + (value ? u"true"_s : u"false"_s)}) == 0;
    };
    ASSERT_TRUE(changeSetting(u"org.gnome.desktop.a11y.interface"_s, u"high-contrast"_s, true));
    ASSERT_TRUE(changeSetting(u"org.gnome.desktop.interface"_s, u"enable-animations"_s, false));
    ASSERT_TRUE(waitUntil([&] { return preferences.reduceTransparency(); }));
    ASSERT_TRUE(waitUntil([&] { return preferences.reduceMotion(); }));
}
