#include <QApplication>
#include <QCommandLineParser>
#include <QDBusConnection>
#include <QDesktopServices>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "AppDelegate.h"
#include "Components/AccessibilityPreferences.h"
#include "Models/PostureAnalyzer.h"
#include "Models/SittingTracker.h"
#include "Platform/AutostartEntry.h"
#include "Platform/IdleSourceChain.h"
#include "Platform/Linux/DBusIdleSource.h"
#include "Platform/Linux/DBusNotifier.h"
#include "Platform/Linux/DesktopSession.h"
#include "Platform/Linux/DesktopTrayHost.h"
#include "Platform/Linux/DisplayConnection.h"
#include "Platform/Linux/JsonSettingsStore.h"
#include "Platform/Linux/LinuxCameraBackend.h"
#include "Platform/Linux/LogindSleepMonitor.h"
#include "Platform/Linux/PoseNetworkModule.h"
#include "Platform/Linux/SettingsPortal.h"
#include "Platform/Linux/SingleInstance.h"
#include "Platform/Linux/SystemClock.h"
#include "Platform/Linux/SystemRandomSource.h"
#include "Platform/Linux/TerminationSignals.h"
#include "Platform/Linux/VideoDeviceWatcher.h"
#include "Platform/Linux/WaylandIdleSource.h"
#include "Platform/Linux/XScreenSaverIdleSource.h"
#include "Views/ContentView.h"
#include "Views/Pages.h"
#include "Views/WindowBackdrop.h"

namespace {

// Installed beside the binary's share folder, or in the source tree of a build.
QString poseModelPath() {
    const QString installed = QCoreApplication::applicationDirPath() +
                              QStringLiteral("/../share/spindrel/pose_landmark_lite.onnx");
    if (QFileInfo::exists(installed)) {
        return installed;
    }
    return QStringLiteral(SPINDREL_SOURCE_DATA_DIR "/pose_landmark_lite.onnx");
}

// Beside the binary in a build tree, or in the installed library folder.
QString poseModulePath() {
    const QString dir = QCoreApplication::applicationDirPath();
    const QString beside = dir + QStringLiteral("/" SPINDREL_POSE_MODULE_FILE);
    if (QFileInfo::exists(beside)) {
        return beside;
    }
    return dir +
           QStringLiteral("/" SPINDREL_POSE_MODULE_INSTALLED_DIR "/" SPINDREL_POSE_MODULE_FILE);
}

std::unique_ptr<PoseDetector> loadPoseNetwork() {
    // One thread: a frame every 4 s then costs a few hundredths of a core, and the desk
    // work the user is doing keeps the other cores.
    PoseNetworkModule::Loaded loaded =
        PoseNetworkModule::load(poseModulePath(), poseModelPath().toStdString(), 1);
    if (!loaded.detector) {
        qWarning("Spindrel: %s; posture tracking is off", qPrintable(loaded.failure));
    }
    return std::move(loaded.detector);
}

// For demos and measurements: an image file stands in for the webcam.
std::optional<LinuxCameraBackend::ImageFeed> imageFeed(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A wellbeing companion for desk days."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption image(QStringLiteral("camera-image"),
                                   QStringLiteral("Play <file> as the camera."),
                                   QStringLiteral("file"));
    const QCommandLineOption fps(QStringLiteral("camera-fps"),
                                 QStringLiteral("Frames per second of --camera-image."),
                                 QStringLiteral("fps"), QStringLiteral("30"));
    parser.addOption(image);
    parser.addOption(fps);
    parser.process(app);
    if (!parser.isSet(image)) {
        return std::nullopt;
    }
    const int perSecond = std::clamp(parser.value(fps).toInt(), 1, 240);
    return LinuxCameraBackend::ImageFeed{parser.value(image),
                                         std::chrono::milliseconds(1000 / perSecond)};
}

}  // namespace

int main(int argc, char* argv[]) {
    if (const std::optional<std::string> missing = DesktopSession::missingDisplay(argc, argv)) {
        std::fprintf(stderr, "%s\n", missing->c_str());
        return 1;
    }
    // Before the toolkit starts its threads, so that the signals reach us and none of them.
    TerminationSignals::blockInEveryThread();
    // The window's repaints are a few small rectangles a second. Through shared memory each one
    // costs a round trip to the X server and a wake of Qt's event thread to read the answer;
    // sent over the socket they cost neither. Whoever sets the variable decides.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
    QApplication app(argc, argv);
    // Room on the socket for a few of them, so that sending one does not stop halfway to wait
    // for the server to read it.
    DisplayConnection::makeRoomForRepaints(app);
    QCoreApplication::setApplicationName(QStringLiteral("Spindrel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SPINDREL_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("spindrel"));
    // Closing the window only hides Spindrel; it goes on counting.
    QApplication::setQuitOnLastWindowClosed(false);
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &app,
                     &QCoreApplication::quit);
    const std::optional<LinuxCameraBackend::ImageFeed> feed = imageFeed(app);

    SingleInstance instance(SingleInstance::defaultFolder());
    if (instance.claim() == SingleInstance::Role::secondary) {
        return 0;  // the running Spindrel shows itself instead
    }
    LinuxCameraBackend camera(loadPoseNetwork, feed);

    const QDBusConnection session = QDBusConnection::sessionBus();
    std::vector<std::unique_ptr<IdleSource>> idleSources;
    idleSources.push_back(
        std::make_unique<DBusIdleSource>(session, DBusIdleSource::mutterIdleMonitor()));
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        // The notification's timeout is the shortest idleness Spindrel can tell from none. The
        // break needs 90 s, but a posture nudge waits for a pause in typing this short; the
        // price is one wake-up as a pause passes it and one as typing resumes, none while
        // the user types on.
        idleSources.push_back(std::make_unique<WaylandIdleSource>(PostureAnalyzer::typingPause));
    }
    idleSources.push_back(std::make_unique<DBusIdleSource>(session, DBusIdleSource::screenSaver()));
    idleSources.push_back(std::make_unique<XScreenSaverIdleSource>());
    IdleSourceChain idleSource(std::move(idleSources));
    // The first tick is half a minute away; asking now puts the answering source in the log
    // at start.
    idleSource.idleTime();

    SystemClock clock;
    SystemRandomSource random;
    JsonSettingsStore settings(JsonSettingsStore::defaultPath(),
                               JsonSettingsStore::defaultLegacyIniPath());
    DBusNotifier notifier(session);
    LogindSleepMonitor sleepMonitor(QDBusConnection::systemBus());
    // Watched whether or not posture tracking is on: another app on the webcam is a call.
    VideoDeviceWatcher cameraWatch;

    const std::unique_ptr<SittingTracker> tracker = SittingTracker::createShared(
        {clock, idleSource, notifier, settings, random, camera, cameraWatch});
    QObject::connect(&sleepMonitor, &LogindSleepMonitor::aboutToSleep, tracker.get(),
                     &SittingTracker::noteSleepStarting);
    QObject::connect(&sleepMonitor, &LogindSleepMonitor::resumed, tracker.get(),
                     &SittingTracker::noteResumed);

    SettingsPortal desktopSettings(session);
    AccessibilityPreferences motion(desktopSettings);
    DesktopTrayHost tray(session);
    // The binary that runs now is the one the login entry starts: the installed one.
    AutostartEntry autostart(AutostartEntry::defaultFolder(),
                             QCoreApplication::applicationFilePath());
    PageContext pages{motion, [](const QUrl& url) { QDesktopServices::openUrl(url); }, random,
                      autostart};
    AppDelegate delegate(*tracker, tray, [&motion, &pages](SittingTracker& observed) {
        return std::make_unique<ContentView>(
            observed,
            [&pages](AppPage page, SittingTracker& shown) { return makePage(page, shown, pages); },
            [](SittingTracker&) { return std::make_unique<WindowBackdrop>(); }, motion);
    });
    QObject::connect(&notifier, &Notifier::clicked, &delegate, &AppDelegate::notificationClicked);
    QObject::connect(&instance, &SingleInstance::showRequested, &delegate,
                     &AppDelegate::showWindow);
    delegate.applicationDidFinishLaunching();

    return QApplication::exec();
}
