#include "Models/PostureGeometry.h"
#include "Platform/Linux/BlazePoseDetector.h"
#include "Platform/Linux/PoseGeometry.h"
#include "Platform/VideoFrame.h"
#include "Support/FileBytes.h"
#include "Support/TestPhotos.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

// How far a tilt may stray from the frame's rotation. Measured on the astronaut at ±8° and
// ±15°: shoulders stray up to 5.3°, the ear line up to 10.9° (it under-turns clockwise).
constexpr double kShoulderTolerance = 6.0;
constexpr double kHeadTolerance = 12.0;

// The posture rules' own readings of a set of joints.
double tiltDegrees(const PoseJoint& left, const PoseJoint& right) {
    return PostureGeometry::directionDegrees({left.x, left.y}, {right.x, right.y});
}

double slouchDegrees(const BodyJoints& joints) {
    const QPointF midpoint((joints.leftShoulder.x + joints.rightShoulder.x) / 2.0,
                           (joints.leftShoulder.y + joints.rightShoulder.y) / 2.0);
    return PostureGeometry::vertexAngleDegrees({joints.nose.x, joints.nose.y},
                                               {joints.neck.x, joints.neck.y}, midpoint);
}

class BlazePoseDetectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        detector = BlazePoseDetector::create(SPINDREL_POSE_MODEL, 1);
        ASSERT_NE(detector, nullptr);
        astronaut = photoFrame(QStringLiteral("astronaut.png"));
        ASSERT_TRUE(astronaut.isValid());
    }

    std::unique_ptr<BlazePoseDetector> detector;
    RgbImage astronaut;  // upright, facing the camera, hips below the frame
};

// Also mirrored, the joint at the smaller x is the one labelled left.
TEST_F(BlazePoseDetectorTest, UprightUserReadsLevelAndUprightWithLeftAtTheSmallerX) {
    for (const bool mirrored : {false, true}) {
        SCOPED_TRACE(mirrored ? "mirrored" : "as taken");
        const auto joints = detector->detect(
            mirrored ? photoFrame(QStringLiteral("astronaut.png"), true) : astronaut);
        ASSERT_TRUE(joints.has_value());
        // Uncalibrated baselines are 0° tilt and 90° slouch; 15° off reads as poor posture.
        EXPECT_LT(std::abs(tiltDegrees(joints->leftShoulder, joints->rightShoulder)), 10.0);
        EXPECT_LT(std::abs(tiltDegrees(joints->leftEar, joints->rightEar)), 10.0);
        EXPECT_NEAR(slouchDegrees(*joints), 90.0, 10.0);
        EXPECT_GT(joints->nose.y, std::max(joints->leftShoulder.y, joints->rightShoulder.y));
        EXPECT_LT(joints->leftShoulder.x, joints->nose.x);
        EXPECT_GT(joints->rightShoulder.x, joints->nose.x);
        EXPECT_LT(joints->leftEar.x, joints->rightEar.x);
        for (const PoseJoint& joint : {joints->nose, joints->leftEar, joints->rightEar,
                                       joints->leftShoulder, joints->rightShoulder}) {
            EXPECT_GT(joint.confidence, 0.5F);
            EXPECT_TRUE(joint.x > 0.0 && joint.x < 1.0 && joint.y > 0.0 && joint.y < 1.0)
                << joint.x << ", " << joint.y;
        }
    }
}

TEST_F(BlazePoseDetectorTest, RotatingTheFrameTurnsBothTiltsByAboutThatAngle) {
    const auto upright = detector->detect(astronaut);
    ASSERT_TRUE(upright.has_value());
    const double shoulders = tiltDegrees(upright->leftShoulder, upright->rightShoulder);
    const double head = tiltDegrees(upright->leftEar, upright->rightEar);
    for (const double degrees : {-15.0, -8.0, 8.0, 15.0}) {
        SCOPED_TRACE(degrees);
        const auto turned = detector->detect(
            turnedAbout(astronaut, astronaut.width / 2.0, astronaut.height / 2.0, degrees));
        ASSERT_TRUE(turned.has_value());
        const double shoulderTurn =
            tiltDegrees(turned->leftShoulder, turned->rightShoulder) - shoulders;
        const double headTurn = tiltDegrees(turned->leftEar, turned->rightEar) - head;
        EXPECT_GT(shoulderTurn * degrees, 0.0);
        EXPECT_GT(headTurn * degrees, 0.0);
        EXPECT_NEAR(shoulderTurn, degrees, kShoulderTolerance);
        EXPECT_NEAR(headTurn, degrees, kHeadTolerance);
    }
}

TEST_F(BlazePoseDetectorTest, FindsAUserSeenSideOn) {
    const RgbImage frame = photoFrame(QStringLiteral("camera.png"));
    ASSERT_TRUE(frame.isValid());
    const auto joints = detector->detect(frame);
    ASSERT_TRUE(joints.has_value());
    // Head above the shoulders, nose towards the camera he faces (image right).
    EXPECT_GT(joints->nose.y, std::max(joints->leftShoulder.y, joints->rightShoulder.y));
    EXPECT_GT(joints->nose.x, std::max(joints->leftShoulder.x, joints->rightShoulder.x));
}

TEST_F(BlazePoseDetectorTest, FramesWithNobodyOrNoWholeImageGiveNoJoints) {
    const RgbImage rocket = photoFrame(QStringLiteral("rocket.jpg"));
    ASSERT_TRUE(rocket.isValid());
    EXPECT_FALSE(detector->detect(rocket).has_value());

    EXPECT_FALSE(detector->detect(RgbImage{640, 480, QByteArray(640 * 480 * 3, char(128))}));

    RgbImage truncated = astronaut;
    truncated.pixels.chop(3);
    EXPECT_FALSE(detector->detect(truncated).has_value());
    EXPECT_FALSE(detector->detect(RgbImage{}).has_value());
}

TEST(BlazePoseDetectorLoading, ModelThatCannotBeLoadedFailsCleanly) {
    QTemporaryDir dir;
    const QString garbage = dir.filePath(QStringLiteral("garbage.onnx"));
    const QString truncated = dir.filePath(QStringLiteral("truncated.onnx"));
    const QByteArray model = fileBytes(QStringLiteral(SPINDREL_POSE_MODEL));
    ASSERT_FALSE(model.isEmpty());
    ASSERT_TRUE(writeFileBytes(garbage, QByteArray(4096, 'x')));
    ASSERT_TRUE(writeFileBytes(truncated, model.left(model.size() / 2)));

    for (const QString& path : {dir.filePath(QStringLiteral("missing.onnx")), garbage, truncated}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(BlazePoseDetector::create(path.toStdString(), 1), nullptr);
    }
}

// Joints of a user drawn in pixels of a frame, then normalised as the detector reports them.
struct SyntheticUser {
    double width = 640.0;
    double height = 480.0;

    PoseJoint at(double x, double y) const { return PoseJoint{x / width, y / height, 1.0F}; }

    BodyJoints pose(double noseHeight, double noseSideways, double turnDegrees,
                    double shoulderWidth) const {
        const double turn = turnDegrees / kDegreesPerRadian;
        const double c = std::cos(turn);
        const double s = std::sin(turn);
        // In shoulder widths about the shoulder midpoint at the frame's centre, y upward.
        const auto place = [&](double across, double up) {
            return at(width / 2.0 + shoulderWidth * (across * c - up * s),
                      height / 2.0 + shoulderWidth * (across * s + up * c));
        };
        BodyJoints joints;
        joints.leftShoulder = place(-0.5, 0.0);
        joints.rightShoulder = place(0.5, 0.0);
        joints.nose = place(noseSideways, noseHeight);
        joints.neck =
            deriveNeck(joints.nose, joints.leftShoulder, joints.rightShoulder, width / height);
        return joints;
    }
};

TEST(DerivedNeck, UprightUserReadsRightAngleWhateverTheFrameTurnAndScale) {
    for (const SyntheticUser user :
         {SyntheticUser{640, 480}, SyntheticUser{512, 512}, SyntheticUser{480, 640}}) {
        for (const double turn : {-20.0, 0.0, 12.0}) {
            for (const double shoulderWidth : {80.0, 200.0}) {
                const BodyJoints joints = user.pose(0.46, 0.0, turn, shoulderWidth);
                EXPECT_NEAR(slouchDegrees(joints), 90.0, 0.5)
                    << user.width << "×" << user.height << " turned " << turn;
            }
        }
    }
}

TEST(DerivedNeck, AngleFallsOnlyAsTheNoseDropsTowardsTheShoulderLine) {
    const SyntheticUser user;
    double previous = 180.0;
    for (double height = 0.60; height > 0.02; height -= 0.04) {
        const double angle = slouchDegrees(user.pose(height, 0.0, 5.0, 150.0));
        EXPECT_LT(angle, previous) << "nose at " << height << " shoulder widths";
        previous = angle;
    }
    EXPECT_LT(previous, 10.0);
    // A drop of an eighth of the shoulder width already crosses the 15° poor-posture line.
    EXPECT_LT(slouchDegrees(user.pose(0.46 - 0.125, 0.0, 0.0, 150.0)), 75.0);
    // A head turned sideways is no slouch.
    for (const double sideways : {-0.15, -0.05, 0.05, 0.15}) {
        EXPECT_NEAR(slouchDegrees(user.pose(0.46, sideways, 0.0, 150.0)), 90.0, 3.0) << sideways;
    }
}

}  // namespace
