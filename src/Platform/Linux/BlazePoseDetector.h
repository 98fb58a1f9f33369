#pragma once

#include "Platform/PoseDetector.h"

#include <memory>
#include <opencv2/dnn.hpp>
#include <string>

// Finds the posture joints with the BlazePose lite landmark network (data/
// pose_landmark_lite.onnx) run by OpenCV's DNN module on the CPU.
class BlazePoseDetector : public PoseDetector {
public:
    // Loads the network once. The thread count goes to cv::setNumThreads, which is
    // process-wide: it also changes every other OpenCV call in the process.
    BlazePoseDetector(const std::string& modelPath, int threads);

    // None when the model file cannot be read or parsed.
    static std::unique_ptr<BlazePoseDetector> create(const std::string& modelPath, int threads);

    bool isLoaded() const { return loaded_; }

    // None when the network is not loaded, the frame is invalid, or nobody is in it.
    std::optional<BodyJoints> detect(const RgbImage& frame) override;

private:
    cv::dnn::Net net_;
    bool loaded_ = false;
};
