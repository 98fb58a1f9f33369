#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "Platform/FaceSymmetry.h"
#include "Platform/VideoFrame.h"

namespace {

constexpr int kSide = 200;
constexpr double kCentre = 100.0;
constexpr double kFaceRadius = 40.0;

// A drawn face rolled `roll` degrees counter-clockwise on screen: dark eyes, nose and mouth on a
// skin tone, lit more strongly from the left, on a background that is brighter on the right.
RgbImage drawnFace(double roll) {
    const double c = std::cos(roll * std::numbers::pi / 180.0);
    const double s = std::sin(roll * std::numbers::pi / 180.0);
    RgbImage frame;
    frame.width = kSide;
    frame.height = kSide;
    frame.pixels.resize(qsizetype(kSide) * kSide * 3);
    const auto blob = [](double u, double v, double atU, double atV, double sizeU, double sizeV) {
        const double du = (u - atU) / sizeU;
        const double dv = (v - atV) / sizeV;
        return std::exp(-(du * du + dv * dv));
    };
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            // Face coordinates in face radii: u to the face's right, v down.
            const double dx = (x - kCentre) / kFaceRadius;
            const double dy = (y - kCentre) / kFaceRadius;
            const double u = dx * c - dy * s;
            const double v = dx * s + dy * c;
            double luma = 60.0 + 80.0 * x / kSide;
            if (u * u / 0.7 + v * v < 1.4) {
                luma = 190.0 - 90.0 * blob(u, v, -0.4, -0.25, 0.16, 0.08) -
                       90.0 * blob(u, v, 0.4, -0.25, 0.16, 0.08) -
                       50.0 * blob(u, v, 0.0, 0.2, 0.08, 0.2) -
                       80.0 * blob(u, v, 0.0, 0.6, 0.3, 0.06);
            }
            luma *= 1.15 - 0.3 * x / kSide;
            const char value = char(std::clamp(int(luma), 0, 255));
            std::fill_n(frame.pixels.data() + (qsizetype(y) * kSide + x) * 3, 3, value);
        }
    }
    return frame;
}

TEST(FaceSymmetry, ReadsTheRollOfAFaceLitFromOneSide) {
    for (const double roll : {-25.0, -8.0, 0.0, 3.5, 15.0, 30.0}) {
        const std::optional<double> measured =
            FaceSymmetry::rollDegrees(drawnFace(roll), FaceWindow{kCentre, kCentre, kFaceRadius});
        ASSERT_TRUE(measured) << roll;
        EXPECT_NEAR(*measured, roll, 1.0);
    }
}

TEST(FaceSymmetry, GivesNothingWithoutAFaceToMirror) {
    const RgbImage face = drawnFace(0.0);
    EXPECT_FALSE(FaceSymmetry::rollDegrees(face, FaceWindow{kCentre, kCentre, 3.0}));

    RgbImage grey;
    grey.width = 64;
    grey.height = 48;
    grey.pixels = QByteArray(64 * 48 * 3, char(128));
    EXPECT_FALSE(FaceSymmetry::rollDegrees(grey, FaceWindow{32, 24, 20}));
    EXPECT_FALSE(FaceSymmetry::rollDegrees(RgbImage{}, FaceWindow{32, 24, 20}));
}

}  // namespace
