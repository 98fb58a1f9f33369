#pragma once

#include "Platform/Linux/PoseLandmarkNetwork.h"

#include <memory>
#include <opencv2/dnn.hpp>
#include <string>

// The landmark network on OpenCV's DNN module, the engine the XNNPACK one is measured against.
class OpenCvLandmarkNetwork final : public PoseLandmarkNetwork {
public:
    // None when the model file cannot be read or parsed. The thread count goes to
    // cv::setNumThreads, which is process-wide: it also changes every other OpenCV call.
    static std::unique_ptr<OpenCvLandmarkNetwork> create(const std::string& modelPath, int threads);

    std::optional<PoseLandmarks> run(const cv::Mat& canvas) override;

private:
    explicit OpenCvLandmarkNetwork(cv::dnn::Net net) : net_(std::move(net)) {}

    cv::dnn::Net net_;
};
