#include <gtest/gtest.h>

#include "Support/PostureRig.h"

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

TEST(PostureCamera, StartsOnceStopsAndStartsAgain) {
    PostureRig rig;
    ASSERT_TRUE(rig.startCamera());
    rig.camera->start();
    rig.settle();
    EXPECT_EQ(rig.backend.scene.sourcesOpened, 1);

    rig.camera->stop();
    EXPECT_FALSE(rig.camera->isRunning());
    rig.camera->stop();
    EXPECT_FALSE(rig.camera->isRunning());
    ASSERT_TRUE(rig.startCamera());
    EXPECT_EQ(rig.backend.scene.sourcesOpened, 2);
    EXPECT_FALSE(rig.camera->cameraPermissionDenied());
}

TEST(PostureCamera, NoCameraIsReportedAsDeniedAndOnePluggedInLaterIsTakenUp) {
    PostureRig rig;
    rig.backend.scene.hasCamera = false;
    rig.camera->start();
    ASSERT_TRUE(waitUntil([&] { return rig.camera->cameraPermissionDenied(); }));
    EXPECT_FALSE(rig.camera->isRunning());
    EXPECT_EQ(rig.camera->problem(), CameraProblem::noCamera);

    // A webcam is plugged in; the desktop lists it only after the first try, and the next
    // one, twice as long after, finds it.
    rig.camera->videoDevicesChanged();
    ASSERT_TRUE(waitUntil([&] { return rig.backend.scene.sourcesOpened == 2; }));
    rig.settle();
    EXPECT_EQ(rig.camera->problem(), CameraProblem::noCamera);
    rig.backend.scene.hasCamera = true;
    ASSERT_TRUE(waitUntil([&] { return rig.camera->isRunning(); }));
    EXPECT_EQ(rig.backend.scene.sourcesOpened, 3);
    EXPECT_TRUE(rig.camera->cameraPermissionDenied());
    EXPECT_EQ(rig.camera->problem(), std::nullopt);
}

TEST(PostureCamera, KeepsOneFramePerCaptureInterval) {
    PostureRig rig;
    ASSERT_TRUE(rig.startCamera());
    auto& scene = rig.backend.scene;
    rig.backend.deliver(5);  // the first is measured, the rest fall in its interval
    EXPECT_EQ(scene.framesMeasured, 1);
    rig.backend.advanceFrameClock(3900ms);
    rig.backend.deliver(1);
    EXPECT_EQ(scene.framesMeasured, 1);
    rig.backend.advanceFrameClock(100ms);
    rig.backend.deliver(1);
    EXPECT_EQ(scene.framesMeasured, 2);

    // Nobody in the frame: no snapshot, but the slot is used up all the same.
    scene.setBody(std::nullopt);
    rig.backend.advanceFrameClock(4s);
    rig.backend.deliver(1);
    rig.backend.advanceFrameClock(3s);
    rig.backend.deliver(1);
    EXPECT_EQ(scene.framesMeasured, 3);
    rig.settle();
    EXPECT_FALSE(rig.camera->latestSnapshot());
}

TEST(PostureCamera, PublishesMeasurementsStampedWithTheTime) {
    PostureRig rig;
    ASSERT_TRUE(rig.startCamera());
    ASSERT_TRUE(rig.measure(4.0, -2.0, 100.0));
    const std::optional<PostureSnapshot> snapshot = rig.camera->latestSnapshot();
    ASSERT_TRUE(snapshot);
    EXPECT_NEAR(snapshot->headTiltDegrees, 4.0, 1e-9);
    EXPECT_NEAR(snapshot->shoulderTiltDegrees, -2.0, 1e-9);
    EXPECT_NEAR(snapshot->slouchAngleDegrees, 100.0, 1e-9);
    EXPECT_EQ(snapshot->timestamp, rig.clock.now());

    // What a stopped camera measured last stays, but is no longer current after a while.
    rig.camera->stop();
    rig.clock.advance(PostureCamera::snapshotFreshness);
    EXPECT_TRUE(rig.camera->freshSnapshot());
    rig.clock.advance(1ms);
    EXPECT_FALSE(rig.camera->freshSnapshot());
    EXPECT_TRUE(rig.camera->latestSnapshot());
}

TEST(PostureCamera, CalibrationKeepsTheCurrentMeasurementAcrossARestart) {
    PostureRig rig;
    rig.camera->calibrate();  // nothing measured yet
    EXPECT_TRUE(rig.settings.values.isEmpty());
    // Uncalibrated, upright is the baseline: level and a neck at 90°.
    EXPECT_EQ(rig.camera->baselineHeadTilt(), 0.0);
    EXPECT_EQ(rig.camera->baselineShoulderTilt(), 0.0);
    EXPECT_EQ(rig.camera->baselineSlouchAngle(), 90.0);
    EXPECT_FALSE(rig.camera->isCalibrated());

    ASSERT_TRUE(rig.startCamera());
    ASSERT_TRUE(rig.measure(3.0, -1.5, 97.25));
    rig.camera->calibrate();
    const PostureSnapshot taken = *rig.camera->latestSnapshot();
    EXPECT_EQ(rig.settings.values.value(u"postureCalibrated"_s), QVariant(true));
    EXPECT_TRUE(rig.camera->isCalibrated());

    rig.camera.reset();
    auto restarted = rig.makeCamera();
    EXPECT_TRUE(restarted->isCalibrated());
    EXPECT_EQ(restarted->baselineSlouchAngle(), 90.0);
    restarted->loadCalibration();
    EXPECT_EQ(restarted->baselineHeadTilt(), taken.headTiltDegrees);
    EXPECT_EQ(restarted->baselineShoulderTilt(), taken.shoulderTiltDegrees);
    EXPECT_EQ(restarted->baselineSlouchAngle(), taken.slouchAngleDegrees);
}

TEST(PostureCamera, StoredBaselinesThatAreMissingOrNotNumbersReadAsZero) {
    PostureRig rig;
    rig.settings.put(u"baselineHeadTilt"_s, 12.5);
    rig.camera->loadCalibration();  // not calibrated: the stored values are not used
    EXPECT_EQ(rig.camera->baselineHeadTilt(), 0.0);

    rig.settings.put(u"postureCalibrated"_s, true);
    rig.settings.put(u"baselineShoulderTilt"_s, std::numeric_limits<double>::quiet_NaN());
    rig.camera->loadCalibration();
    EXPECT_EQ(rig.camera->baselineHeadTilt(), 12.5);
    EXPECT_EQ(rig.camera->baselineShoulderTilt(), 0.0);
    EXPECT_EQ(rig.camera->baselineSlouchAngle(), 0.0);
}
