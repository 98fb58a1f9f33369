#pragma once

#include "Platform/Linux/PoseLandmarkNetwork.h"
#include "Platform/PoseDetector.h"

#include <memory>
#include <string>

// Finds the posture joints with the BlazePose lite landmark network (data/
// pose_landmark_lite.onnx) on the CPU: the frame is drawn onto the network's canvas and the
// network runs on XNNPACK.
class BlazePoseDetector : public PoseDetector {
public:
    explicit BlazePoseDetector(std::unique_ptr<PoseLandmarkNetwork> network)
        : network_(std::move(network)) {}

    // Loads the network once; none when the model file cannot be read or run. threads is the
    // number of threads the network may use; 1 keeps it on the caller's.
    static std::unique_ptr<BlazePoseDetector> create(const std::string& modelPath, int threads);

    // None when the frame is invalid, the network fails, or nobody is in the frame.
    std::optional<BodyJoints> detect(const RgbImage& frame) override;

private:
    std::unique_ptr<PoseLandmarkNetwork> network_;
    PoseCanvas canvas_;  // kept to reuse its pixels from frame to frame
};
