#include <QCoreApplication>
#include <QDBusConnection>
#include <QTimer>
#include <memory>
#include <vector>

#include "Models/SittingTracker.h"
#include "Platform/IdleSourceChain.h"
#include "Platform/Linux/DBusIdleSource.h"
#include "Platform/Linux/DBusNotifier.h"
#include "Platform/Linux/IniSettingsStore.h"
#include "Platform/Linux/LogindSleepMonitor.h"
#include "Platform/Linux/SystemClock.h"
#include "Platform/Linux/SystemRandomSource.h"
#include "Platform/Linux/XScreenSaverIdleSource.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Spindrel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SPINDREL_VERSION));

    const QDBusConnection session = QDBusConnection::sessionBus();
    std::vector<std::unique_ptr<IdleSource>> idleSources;
    idleSources.push_back(
        std::make_unique<DBusIdleSource>(session, DBusIdleSource::mutterIdleMonitor()));
    idleSources.push_back(std::make_unique<DBusIdleSource>(session, DBusIdleSource::screenSaver()));
    idleSources.push_back(std::make_unique<XScreenSaverIdleSource>());
    IdleSourceChain idleSource(std::move(idleSources));

    SystemClock clock;
    SystemRandomSource random;
    IniSettingsStore settings(IniSettingsStore::defaultPath());
    DBusNotifier notifier(session);
    LogindSleepMonitor sleepMonitor(QDBusConnection::systemBus());

    const std::unique_ptr<SittingTracker> tracker =
        SittingTracker::createShared({clock, idleSource, notifier, settings, random});
    QObject::connect(&sleepMonitor, &LogindSleepMonitor::aboutToSleep, tracker.get(),
                     &SittingTracker::noteSleepStarting);
    QObject::connect(&notifier, &Notifier::clicked, tracker.get(), [&tracker] {
        QTimer::singleShot(0, tracker.get(),
                           [&tracker] { tracker->setCurrentPage(AppPage::reset); });
    });

    return QCoreApplication::exec();
}
