#include "Platform/Linux/VideoDeviceWatcher.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "Models/PostureWording.h"
#include "Support/FileBytes.h"
#include "Support/OtherApp.h"
#include "Support/PostureBodies.h"
#include "Support/TrackerDesk.h"

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// A stand-in device node: a file of one page, which a stream can map.
QString makeDevice(const QTemporaryDir& folder, const QString& name) {
    writeFileBytes(folder.filePath(name), QByteArray(4096, '\0'));
    return QFileInfo(folder.filePath(name)).canonicalFilePath();
}

void pumpFor(std::chrono::milliseconds span) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < span.count()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

}  // namespace

TEST(CameraRelease, AnotherAppGetsTheWebcamAtOnceAndItsCallCountsAsSitting) {
    QTemporaryDir folder;
    const QString device = makeDevice(folder, u"video0"_s);
    VideoDeviceWatcher watcher({folder.path(), u"/proc"_s, u"video"_s});
    ASSERT_TRUE(watcher.isWatching());
    ASSERT_EQ(watcher.devices(), QStringList{device});

    TrackerDesk desk;
    desk.camera.scene.setDeviceFile(QFile::encodeName(device).toStdString());
    desk.settings.setBoolean(u"postureTrackingEnabled"_s, true);
    desk.tracker = std::make_unique<SittingTracker>(TrackerServices{
        desk.clock, desk.idle, desk.notifier, desk.settings, desk.random, desk.camera, watcher});
    SittingTracker& tracker = *desk.tracker;
    PostureCamera& camera = tracker.postureCamera();
    ASSERT_TRUE(waitUntil([&] { return camera.isRunning(); }));
    pumpFor(300ms);  // our own open of the node is seen, and is not another app's
    EXPECT_FALSE(watcher.heldByOtherApp());
    EXPECT_TRUE(camera.isRunning());

    const auto tick = [&](std::chrono::seconds idle) {
        desk.clock.advance(SittingTracker::tickInterval);
        desk.idle.idle = idle;
        tracker.tick();
    };
    for (int i = 0; i < 40; ++i) {  // 20 minutes of typing
        tick(5s);
    }
    desk.clock.advance(SittingTracker::tickInterval);  // the camera sees the user, then a tick
    desk.camera.scene.setBody(bodyWith(0.0, 0.0, 90.0));
    desk.camera.deliver(1);
    ASSERT_TRUE(waitUntil([&] { return camera.freshSnapshot().has_value(); }));
    tracker.tick();
    ASSERT_TRUE(waitUntil(
        [&] { return tracker.postureAnalyzer().postureStatus() == PostureStatus::good; }));

    OtherApp app(device);
    const std::int64_t opened = app.openedAtNs();
    ASSERT_GT(opened, 0);
    ASSERT_TRUE(waitUntil([&] { return desk.camera.scene.deviceClosedNs > opened; }));
    const double releaseMs = static_cast<double>(desk.camera.scene.deviceClosedNs - opened) / 1e6;
    std::printf("their open to our close: %.2f ms\n", releaseMs);
    RecordProperty("releaseMicroseconds", static_cast<int>(releaseMs * 1000));
    EXPECT_LT(releaseMs, 2000.0);  // the aim is 100 ms; a loaded machine gets a wide margin
    EXPECT_TRUE(watcher.heldByOtherApp());
    EXPECT_FALSE(camera.isRunning());
    ASSERT_EQ(camera.problem(), CameraProblem::inUseByOtherApp);
    EXPECT_EQ(PostureWording::cameraProblemText(*camera.problem()),
              u"Paused while another app uses the camera."_s);

    // 40 minutes of talking without touching keyboard or mouse: sitting, and no reminder yet.
    for (int i = 1; i <= 80; ++i) {
        tick(std::chrono::seconds(30 * i));
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(tracker.totalSittingMinutes(), 60);
    EXPECT_EQ(tracker.microBreaksTaken(), 0);
    EXPECT_TRUE(desk.notifier.posted.empty());
    EXPECT_EQ(tracker.postureAnalyzer().postureStatus(), PostureStatus::unknown);

    const int opensBefore = desk.camera.scene.sourcesOpened;
    ASSERT_TRUE(app.leave());
    ASSERT_TRUE(waitUntil([&] { return !watcher.heldByOtherApp(); }));
    tick(2430s);  // 30 s after: the call may only be reconnecting
    EXPECT_TRUE(tracker.callWatch().onCall());
    EXPECT_TRUE(desk.notifier.posted.empty());
    EXPECT_EQ(desk.camera.scene.sourcesOpened, opensBefore);

    tick(2460s);  // a minute after: the webcam is taken back and the reminder goes out
    EXPECT_FALSE(tracker.callWatch().onCall());
    ASSERT_EQ(desk.notifier.posted.size(), 1u);
    EXPECT_TRUE(desk.notifier.posted[0].body.contains(u"61"_s))
        << desk.notifier.posted[0].body.toStdString();
    ASSERT_TRUE(waitUntil([&] { return camera.isRunning(); }));
    EXPECT_EQ(desk.camera.scene.sourcesOpened, opensBefore + 1);
    EXPECT_EQ(camera.problem(), std::nullopt);

    // The idleness of the call was no absence; idleness for 90 s after it is a break.
    tick(2490s);
    EXPECT_EQ(tracker.microBreaksTaken(), 1);
    EXPECT_EQ(tracker.totalSittingMinutes(), 61);
    EXPECT_EQ(desk.notifier.posted.size(), 1u);
}

TEST(VideoDeviceWatcher, FollowsDevicesThatAppearAndGoAndWhoStreamsFromThem) {
    QTemporaryDir folder;
    const VideoDevicePlaces places{folder.path(), u"/proc"_s, u"video"_s, 300ms};
    VideoDeviceWatcher watcher(places);
    ASSERT_TRUE(watcher.isWatching());
    EXPECT_TRUE(watcher.devices().isEmpty());
    QSignalSpy changed(&watcher, &CameraWatch::devicesChanged);

    makeDevice(folder, u"notes"_s);  // not a video device
    const QString device = makeDevice(folder, u"video2"_s);
    ASSERT_TRUE(waitUntil([&] { return changed.count() == 1; }));
    EXPECT_EQ(watcher.devices(), QStringList{device});

    // An app that opens the camera only to list it holds it for a moment, not for as long as
    // it keeps it open.
    OtherApp lister(device, OtherApp::Use::lists);
    ASSERT_TRUE(waitUntil([&] { return watcher.heldByOtherApp(); }));
    ASSERT_TRUE(waitUntil([&] { return !watcher.heldByOtherApp(); }));
    {
        // Nor does one that had it open before the watch began, like PipeWire between uses.
        const VideoDeviceWatcher later(places);
        EXPECT_FALSE(later.heldByOtherApp());
    }

    // One that streams holds it until it lets go; our own opens are not another app's.
    OtherApp streamer(device);
    ASSERT_TRUE(waitUntil([&] { return watcher.heldByOtherApp(); }));
    QFile ours(device);
    ASSERT_TRUE(ours.open(QIODevice::ReadOnly));
    pumpFor(500ms);
    EXPECT_TRUE(watcher.heldByOtherApp());
    EXPECT_TRUE(streamer.leave());
    ASSERT_TRUE(waitUntil([&] { return !watcher.heldByOtherApp(); }));
    EXPECT_TRUE(lister.leave());

    ASSERT_TRUE(QFile::remove(device));
    ASSERT_TRUE(waitUntil([&] { return changed.count() == 2; }));
    EXPECT_TRUE(watcher.devices().isEmpty());
    pumpFor(200ms);
    EXPECT_EQ(changed.count(), 2);  // the other file never counted
}
