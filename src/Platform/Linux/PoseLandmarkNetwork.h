#pragma once

#include "Platform/Linux/PoseCanvas.h"

#include <array>
#include <optional>

// The landmark network's answer for one canvas, in the network's own terms.
struct PoseLandmarks {
    static constexpr int kCount = 39;
    static constexpr int kValuesPerLandmark = 5;  // x, y, z, visibility logit, presence logit

    // x and y in canvas pixels, landmark after landmark in the network's anatomical numbering.
    std::array<float, kCount * kValuesPerLandmark> values{};
    // How sure the network is that a person is on the canvas, 0…1.
    float personPresent = 0.0F;
};

// The BlazePose landmark network, loaded once and run on one prepared canvas at a time.
class PoseLandmarkNetwork {
public:
    static constexpr int kInputSize = 256;

    virtual ~PoseLandmarkNetwork() = default;
    // canvas: kInputSize on a side. None when the canvas is not that or the network cannot run.
    virtual std::optional<PoseLandmarks> run(const PoseCanvas& canvas) = 0;
};
