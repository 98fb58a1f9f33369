// How fast Spindrel lets go of the webcam for another app:
//   camera_release [ROUNDS]    100 rounds by default
// Each round a child process opens a stand-in device node that Spindrel's camera streams
// from (the test fakes' frame source holds it open); the figure is the time from just before
// the child's open to the moment the camera closed the node. The call then ends on a simulated
// clock, the camera takes the node back, and the next round begins.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "Platform/Linux/VideoDeviceWatcher.h"
#include "Support/OtherApp.h"
#include "Support/PostureBodies.h"
#include "Support/TrackerDesk.h"

using namespace std::chrono_literals;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 100;

    QTemporaryDir folder;
    QFile node(folder.filePath(QStringLiteral("video0")));
    node.open(QIODevice::WriteOnly);
    const QString device = QFileInfo(node).canonicalFilePath();
    VideoDeviceWatcher watcher({folder.path(), QStringLiteral("/proc"), QStringLiteral("video")});

    TrackerDesk desk(QDateTime(QDate(2026, 3, 10), QTime(9, 0)));
    desk.camera.scene.setDeviceFile(QFile::encodeName(device).toStdString());
    desk.settings.setBoolean(QStringLiteral("postureTrackingEnabled"), true);
    desk.tracker = std::make_unique<SittingTracker>(TrackerServices{
        desk.clock, desk.idle, desk.notifier, desk.settings, desk.random, desk.camera, watcher});
    PostureCamera& camera = desk.tracker->postureCamera();

    std::vector<double> releaseMs;
    for (int round = 0; round < rounds; ++round) {
        if (!waitUntil([&] { return camera.isRunning(); })) {
            std::fprintf(stderr, "round %d: the camera did not start\n", round);
            return 1;
        }
        // Let our own open pass, and the watcher's second look after it.
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 150) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        OtherApp other(device);
        const std::int64_t opened = other.openedAtNs();
        if (opened == 0 || !waitUntil([&] { return desk.camera.scene.deviceClosedNs > opened; })) {
            std::fprintf(stderr, "round %d: the camera was not released\n", round);
            return 1;
        }
        releaseMs.push_back(static_cast<double>(desk.camera.scene.deviceClosedNs - opened) / 1e6);
        other.leave();
        waitUntil([&] { return !watcher.heldByOtherApp(); });
        desk.clock.advance(CallWatch::releaseGrace);
        desk.tracker->tick();
    }
    std::sort(releaseMs.begin(), releaseMs.end());
    const double median =
        releaseMs.size() % 2 == 1
            ? releaseMs[releaseMs.size() / 2]
            : (releaseMs[releaseMs.size() / 2 - 1] + releaseMs[releaseMs.size() / 2]) / 2.0;
    std::printf(
        "rounds %zu  their open to our close: median %.2f ms, best %.2f ms, worst %.2f ms\n",
        releaseMs.size(), median, releaseMs.front(), releaseMs.back());
    return 0;
}
