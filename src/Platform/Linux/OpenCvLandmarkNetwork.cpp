#include "Platform/Linux/OpenCvLandmarkNetwork.h"

#include <algorithm>
#include <opencv2/core.hpp>
#include <vector>

std::unique_ptr<OpenCvLandmarkNetwork> OpenCvLandmarkNetwork::create(const std::string& modelPath,
                                                                     int threads) {
    cv::setNumThreads(threads);
    try {
        cv::dnn::Net net = cv::dnn::readNetFromONNX(modelPath);
        if (net.empty()) {
            return nullptr;
        }
        net.setPreferableBackend(cv::dnn::DNN_BACKEND_OPENCV);
        net.setPreferableTarget(cv::dnn::DNN_TARGET_CPU);
        return std::unique_ptr<OpenCvLandmarkNetwork>(new OpenCvLandmarkNetwork(std::move(net)));
    } catch (const cv::Exception&) {
        return nullptr;
    }
}

std::optional<PoseLandmarks> OpenCvLandmarkNetwork::run(const cv::Mat& canvas) {
    if (canvas.rows != kInputSize || canvas.cols != kInputSize || canvas.type() != CV_8UC3) {
        return std::nullopt;
    }
    std::vector<cv::Mat> outputs;
    try {
        net_.setInput(cv::dnn::blobFromImage(canvas, 1.0 / 255.0));
        net_.forward(outputs, std::vector<cv::String>{"Identity", "Identity_1"});
    } catch (const cv::Exception&) {
        return std::nullopt;
    }
    PoseLandmarks result;
    if (outputs.size() != 2 || outputs[0].total() != result.values.size() ||
        outputs[1].total() != 1) {
        return std::nullopt;
    }
    const float* landmarks = outputs[0].ptr<float>();
    std::copy(landmarks, landmarks + result.values.size(), result.values.begin());
    result.personPresent = outputs[1].ptr<float>()[0];
    return result;
}
