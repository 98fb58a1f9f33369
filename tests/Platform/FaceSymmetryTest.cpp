#include <gtest/gtest.h>

#include "Platform/FaceSymmetry.h"
#include "Platform/VideoFrame.h"
#include "Support/DrawnFace.h"

#include <limits>

namespace {

TEST(FaceSymmetry, ReadsTheRollOfAFaceLitFromOneSide) {
    for (const double roll : {-25.0, -8.0, 0.0, 3.5, 15.0, 30.0}) {
        const std::optional<double> measured = FaceSymmetry::rollDegrees(
            drawnFace(roll), FaceWindow{kFaceCentre, kFaceCentre, kFaceRadius});
        ASSERT_TRUE(measured) << roll;
        EXPECT_NEAR(*measured, roll, 1.0);
    }
}

TEST(FaceSymmetry, GivesNothingWithoutAFaceToMirror) {
    const RgbImage face = drawnFace(0.0);
    EXPECT_FALSE(FaceSymmetry::rollDegrees(face, FaceWindow{kFaceCentre, kFaceCentre, 3.0}));
    // Joints far off the frame can make the window unbounded; nothing is sampled then.
    EXPECT_FALSE(FaceSymmetry::rollDegrees(
        face, FaceWindow{kFaceCentre, kFaceCentre, std::numeric_limits<double>::infinity()}));

    const RgbImage grey{64, 48, QByteArray(64 * 48 * 3, char(128))};
    EXPECT_FALSE(FaceSymmetry::rollDegrees(grey, FaceWindow{32, 24, 20}));
    EXPECT_FALSE(FaceSymmetry::rollDegrees(RgbImage{}, FaceWindow{32, 24, 20}));
}

}  // namespace
