#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "Models/PostureCamera.h"
#include "Platform/Linux/LinuxCameraBackend.h"
#include "Platform/Linux/PoseNetworkModule.h"
#include "Platform/Linux/SystemClock.h"
#include "Support/MemorySettingsStore.h"
#include "Support/PostureBodies.h"

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// The pose network as the app opens it: from its module, on the camera's worker thread.
std::unique_ptr<PoseDetector> openPoseNetwork(const char* model) {
    return PoseNetworkModule::load(QStringLiteral(SPINDREL_POSE_MODULE), model, 1).detector;
}

// The camera as the app builds it, with a photograph played at 30 fps in place of a webcam.
struct Pipeline {
    SystemClock clock;
    MemorySettingsStore settings;
    LinuxCameraBackend backend;
    PostureCamera camera{clock, settings, backend};

    explicit Pipeline(const QString& photo)
        : backend([] { return openPoseNetwork(SPINDREL_POSE_MODEL); },
                  LinuxCameraBackend::ImageFeed{QStringLiteral(SPINDREL_TEST_DATA_DIR "/") + photo,
                                                33ms}) {}
};

}  // namespace

TEST(PosturePipeline, APhotographOfAnUprightPersonBecomesAnUprightSnapshot) {
    Pipeline pipeline(u"astronaut.png"_s);
    pipeline.camera.start();
    ASSERT_TRUE(waitUntil([&] { return pipeline.camera.latestSnapshot().has_value(); }));
    EXPECT_TRUE(pipeline.camera.isRunning());
    const PostureSnapshot snapshot = *pipeline.camera.latestSnapshot();
    // Upright and facing the camera: near the uncalibrated baseline of 0°, 0° and 90°.
    EXPECT_LT(std::abs(snapshot.headTiltDegrees), 10.0);
    EXPECT_LT(std::abs(snapshot.shoulderTiltDegrees), 10.0);
    EXPECT_NEAR(snapshot.slouchAngleDegrees, 90.0, 10.0);

    // At 30 fps the camera still measures only one frame per 4 s.
    int measurements = 0;
    QObject::connect(&pipeline.camera, &PostureCamera::latestSnapshotChanged,
                     [&measurements] { ++measurements; });
    QElapsedTimer watched;
    watched.start();
    waitUntil([&] { return watched.elapsed() > 2500; });
    EXPECT_EQ(measurements, 0);
    pipeline.camera.stop();
    EXPECT_FALSE(pipeline.camera.isRunning());
}
