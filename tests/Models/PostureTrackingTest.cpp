#include <gtest/gtest.h>

#include "Support/TrackerDesk.h"

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

TEST(PostureTracking, OnAtLaunchTheCameraStartsAndTicksJudgeAgainstTheLatestBaseline) {
    TrackerDesk desk;
    desk.settings.put(u"postureTrackingEnabled"_s, true);
    desk.storeCalibration(4.0);
    SittingTracker& tracker = desk.launch();
    EXPECT_EQ(tracker.postureCamera().baselineHeadTilt(), 4.0);  // loaded at construction
    ASSERT_TRUE(waitUntil([&] { return tracker.postureCamera().isRunning(); }));

    desk.tick();  // nothing measured yet
    EXPECT_EQ(tracker.postureAnalyzer().postureStatus(), PostureStatus::unknown);
    ASSERT_TRUE(desk.tickSeeing(16.0));
    EXPECT_EQ(tracker.postureAnalyzer().postureStatus(), PostureStatus::fair);
    // A calibration changes what the next tick judges against.
    tracker.postureCamera().calibrate();
    ASSERT_TRUE(desk.tickSeeing(16.0));
    EXPECT_EQ(tracker.postureAnalyzer().postureStatus(), PostureStatus::good);
}

TEST(PostureTracking, OffAtLaunchAndSwitchedOffAndOnKeepsTheAnalyzerAndItsVerdict) {
    TrackerDesk desk;
    SittingTracker& tracker = desk.launch();
    desk.tick();  // off at launch: nothing starts and ticks do not judge
    EXPECT_EQ(desk.camera.scene.sourcesOpened, 0);
    EXPECT_EQ(tracker.postureAnalyzer().postureStatus(), PostureStatus::unknown);
    tracker.setPostureTrackingEnabled(true);
    ASSERT_TRUE(waitUntil([&] { return tracker.postureCamera().isRunning(); }));
    tracker.setPostureTrackingEnabled(true);  // already running: no second start
    QCoreApplication::processEvents();
    EXPECT_EQ(desk.camera.scene.sourcesOpened, 1);

    ASSERT_TRUE(desk.tickSeeing(12.0));
    PostureAnalyzer* analyzer = &tracker.postureAnalyzer();
    ASSERT_EQ(analyzer->postureStatus(), PostureStatus::fair);

    tracker.setPostureTrackingEnabled(false);
    EXPECT_FALSE(tracker.postureCamera().isRunning());
    EXPECT_EQ(desk.settings.values.value(u"postureTrackingEnabled"_s), QVariant(false));
    desk.tick();
    desk.tick();  // the last measurement is old now, but nobody judges it
    EXPECT_EQ(analyzer->postureStatus(), PostureStatus::fair);

    tracker.setPostureTrackingEnabled(true);
    EXPECT_EQ(&tracker.postureAnalyzer(), analyzer);
    desk.tick();  // on again, before a new measurement: nothing current
    EXPECT_EQ(analyzer->postureStatus(), PostureStatus::unknown);
}

TEST(PostureTracking, ACallCountsAsSittingWithTrackingOffAndTheCameraWaitsForItsEnd) {
    TrackerDesk desk;
    desk.cameraWatch.setHeldByOtherApp(true);  // launched during a call
    SittingTracker& tracker = desk.launch();
    ASSERT_TRUE(tracker.callWatch().onCall());
    for (int i = 1; i <= 70; ++i) {  // 35 minutes on the call, hands off the keyboard
        desk.idle.idle = std::chrono::seconds(30 * i);
        desk.tick();
    }
    EXPECT_EQ(tracker.totalSittingMinutes(), 35);
    EXPECT_EQ(tracker.microBreaksTaken(), 0);
    EXPECT_TRUE(desk.notifier.posted.empty());

    tracker.setPostureTrackingEnabled(true);  // switched on mid-call: nothing opens yet
    EXPECT_EQ(tracker.postureCamera().problem(), CameraProblem::inUseByOtherApp);
    desk.cameraWatch.setHeldByOtherApp(false);
    desk.tick();
    QCoreApplication::processEvents();
    EXPECT_EQ(desk.camera.scene.sourcesOpened, 0);
    EXPECT_TRUE(desk.notifier.posted.empty());

    desk.tick();  // a minute after the call
    ASSERT_EQ(desk.notifier.posted.size(), 1u);
    EXPECT_TRUE(desk.notifier.posted[0].body.contains(u"36"_s));
    ASSERT_TRUE(waitUntil([&] { return tracker.postureCamera().isRunning(); }));
    EXPECT_EQ(desk.camera.scene.sourcesOpened, 1);
    desk.tick();
    EXPECT_EQ(desk.notifier.posted.size(), 1u);
}
