#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>

#include "Platform/VideoFrame.h"

// A square frame with a face drawn at its centre.
inline constexpr int kFaceFrameSide = 200;
inline constexpr double kFaceCentre = 100.0;
inline constexpr double kFaceRadius = 40.0;

// A drawn face rolled `roll` degrees counter-clockwise on screen: dark eyes, nose and mouth on a
// skin tone, lit more strongly from the left, on a background that is brighter on the right.
inline RgbImage drawnFace(double roll) {
    const double c = std::cos(roll * std::numbers::pi / 180.0);
    const double s = std::sin(roll * std::numbers::pi / 180.0);
    RgbImage frame{kFaceFrameSide, kFaceFrameSide,
                   QByteArray(qsizetype(kFaceFrameSide) * kFaceFrameSide * 3, '\0')};
    const auto blob = [](double u, double v, double atU, double atV, double sizeU, double sizeV) {
        const double du = (u - atU) / sizeU;
        const double dv = (v - atV) / sizeV;
        return std::exp(-(du * du + dv * dv));
    };
    for (int y = 0; y < kFaceFrameSide; ++y) {
        for (int x = 0; x < kFaceFrameSide; ++x) {
            // Face coordinates in face radii: u to the face's right, v down.
            const double dx = (x - kFaceCentre) / kFaceRadius;
            const double dy = (y - kFaceCentre) / kFaceRadius;
            const double u = dx * c - dy * s;
            const double v = dx * s + dy * c;
            double luma = 60.0 + 80.0 * x / kFaceFrameSide;
            if (u * u / 0.7 + v * v < 1.4) {
                luma = 190.0 - 90.0 * blob(u, v, -0.4, -0.25, 0.16, 0.08) -
                       90.0 * blob(u, v, 0.4, -0.25, 0.16, 0.08) -
                       50.0 * blob(u, v, 0.0, 0.2, 0.08, 0.2) -
                       80.0 * blob(u, v, 0.0, 0.6, 0.3, 0.06);
            }
            luma *= 1.15 - 0.3 * x / kFaceFrameSide;
            const char value = char(std::clamp(int(luma), 0, 255));
            std::fill_n(frame.pixels.data() + (qsizetype(y) * kFaceFrameSide + x) * 3, 3, value);
        }
    }
    return frame;
}
