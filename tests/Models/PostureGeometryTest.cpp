#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Models/PostureGeometry.h"
#include "Platform/PoseDetector.h"
#include "Support/PostureBodies.h"

using PostureGeometry::angleDifferenceDegrees;
using PostureGeometry::directionDegrees;
using PostureGeometry::vertexAngleDegrees;

TEST(PostureGeometry, TiltsAreReadInThePictureNotInNormalisedCoordinates) {
    // Ears and shoulders 15° off level on a 640×480 frame, in its normalised coordinates.
    const double rise = std::tan(15.0 * std::numbers::pi / 180.0);
    BodyJoints body = bodyWith(0.0, 0.0, 90.0);
    body.rightEar.y = body.leftEar.y + rise * (body.rightEar.x - body.leftEar.x) * 640.0 / 480.0;
    body.rightShoulder.y =
        body.leftShoulder.y + rise * (body.rightShoulder.x - body.leftShoulder.x) * 640.0 / 480.0;
    const std::optional<PostureAngles> angles = PostureGeometry::measure(body, 640.0 / 480.0);
    ASSERT_TRUE(angles);
    EXPECT_NEAR(angles->headTiltDegrees, 15.0, 1e-9);
    EXPECT_NEAR(angles->shoulderTiltDegrees, 15.0, 1e-9);
    EXPECT_NEAR(angles->slouchAngleDegrees, PostureGeometry::measure(body)->slouchAngleDegrees,
                1e-12);
}

TEST(PostureGeometry, TiltsRunLeftToRightVertexAnglesLieBetweenRaysDifferencesTakeTheShortWay) {
    EXPECT_DOUBLE_EQ(directionDegrees({0.4, 0.5}, {0.6, 0.5}), 0.0);
    EXPECT_DOUBLE_EQ(directionDegrees({0.6, 0.5}, {0.4, 0.5}), 180.0);
    EXPECT_GT(directionDegrees({0.4, 0.5}, {0.6, 0.55}), 0.0);  // right ear higher
    EXPECT_DOUBLE_EQ(directionDegrees({0.4, 0.5}, {0.6, 0.7}), 45.0);

    EXPECT_DOUBLE_EQ(vertexAngleDegrees({0.5, 0.8}, {0.5, 0.6}, {0.5, 0.6}), 0.0);
    EXPECT_DOUBLE_EQ(vertexAngleDegrees({0.5, 0.6}, {0.5, 0.6}, {0.7, 0.6}), 0.0);
    EXPECT_NEAR(vertexAngleDegrees({0.5, 0.8}, {0.5, 0.6}, {0.7, 0.6}), 90.0, 1e-12);
    EXPECT_DOUBLE_EQ(vertexAngleDegrees({0.5, 0.8}, {0.5, 0.6}, {0.5, 0.4}), 180.0);
    // Nearly parallel rays must not step outside acos's domain by rounding.
    EXPECT_DOUBLE_EQ(vertexAngleDegrees({1e8, 1.0}, {0.0, 0.0}, {1e8 + 1.0, 1.0}), 0.0);

    EXPECT_DOUBLE_EQ(angleDifferenceDegrees(179.0, -179.0), 2.0);
    EXPECT_DOUBLE_EQ(angleDifferenceDegrees(-179.0, 179.0), -2.0);
    EXPECT_DOUBLE_EQ(angleDifferenceDegrees(10.0, 30.0), 20.0);
    EXPECT_DOUBLE_EQ(angleDifferenceDegrees(0.0, 180.0), 180.0);
    EXPECT_DOUBLE_EQ(angleDifferenceDegrees(0.0, -180.0), 180.0);
    EXPECT_DOUBLE_EQ(angleDifferenceDegrees(-90.0, 90.0), 180.0);
}

TEST(PostureGeometry, AFrameMeasuresOnlyWhenEveryJointIsTrusted) {
    const BodyJoints upright = bodyWith(5.0, -3.0, 120.0);
    const std::optional<PostureAngles> angles = PostureGeometry::measure(upright);
    ASSERT_TRUE(angles);
    EXPECT_NEAR(angles->headTiltDegrees, 5.0, 1e-9);
    EXPECT_NEAR(angles->shoulderTiltDegrees, -3.0, 1e-9);
    EXPECT_NEAR(angles->slouchAngleDegrees, 120.0, 1e-9);

    for (PoseJoint BodyJoints::*joint :
         {&BodyJoints::nose, &BodyJoints::leftEar, &BodyJoints::rightEar, &BodyJoints::leftShoulder,
          &BodyJoints::rightShoulder, &BodyJoints::neck}) {
        BodyJoints doubtful = upright;
        (doubtful.*joint).confidence = 0.3F;
        EXPECT_FALSE(PostureGeometry::measure(doubtful));
        (doubtful.*joint).confidence = 0.30001F;
        EXPECT_TRUE(PostureGeometry::measure(doubtful));
    }
}
