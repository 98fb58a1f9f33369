#include "Platform/Linux/BlazePoseDetector.h"

#include "Platform/Linux/PoseGeometry.h"
#include "Platform/Linux/XnnpackLandmarkNetwork.h"
#include "Platform/VideoFrame.h"

#include <cmath>

namespace {

constexpr int kInputSize = PoseLandmarkNetwork::kInputSize;

// The network's own (anatomical) landmark numbering.
constexpr int kNose = 0;
constexpr int kSubjectLeftEar = 7;
constexpr int kSubjectRightEar = 8;
constexpr int kSubjectLeftShoulder = 11;
constexpr int kSubjectRightShoulder = 12;

// The person-present output already passes through the network's own sigmoid. On the test
// photographs people score 0.96–1.00 and frames with nobody at most 0.14.
constexpr float kMinPresence = 0.5F;

float sigmoid(float logit) {
    return 1.0F / (1.0F + std::exp(-logit));
}

}  // namespace

std::unique_ptr<BlazePoseDetector> BlazePoseDetector::create(const std::string& modelPath,
                                                             int threads) {
    std::unique_ptr<PoseLandmarkNetwork> network =
        XnnpackLandmarkNetwork::create(modelPath, threads);
    if (!network) {
        return nullptr;
    }
    return std::make_unique<BlazePoseDetector>(std::move(network));
}

std::optional<BodyJoints> BlazePoseDetector::detect(const RgbImage& frame) {
    if (!frame.isValid()) {
        return std::nullopt;
    }
    const CanvasPlacement placement =
        CanvasPlacement::forFrame(frame.width, frame.height, kInputSize);
    drawOnCanvas(frame, placement, kInputSize, canvas_);
    const std::optional<PoseLandmarks> landmarks = network_->run(canvas_);
    if (!landmarks || landmarks->personPresent < kMinPresence) {
        return std::nullopt;
    }

    const auto joint = [&](int index) {
        const float* values = landmarks->values.data() + index * PoseLandmarks::kValuesPerLandmark;
        PoseJoint result;
        result.x = (values[0] - placement.offsetX) / placement.scale / frame.width;
        result.y = 1.0 - (values[1] - placement.offsetY) / placement.scale / frame.height;
        result.confidence = sigmoid(values[3]);
        return result;
    };
    // The network names joints anatomically, and on a frontal view it keeps the subject's
    // right at the smaller image x even on a mirrored image, so a fixed mapping keeps the
    // labels steady from frame to frame: our "left" (smaller x) is the subject's right.
    BodyJoints joints;
    joints.nose = joint(kNose);
    joints.leftEar = joint(kSubjectRightEar);
    joints.rightEar = joint(kSubjectLeftEar);
    joints.leftShoulder = joint(kSubjectRightShoulder);
    joints.rightShoulder = joint(kSubjectLeftShoulder);
    joints.neck = deriveNeck(joints.nose, joints.leftShoulder, joints.rightShoulder,
                             double(frame.width) / frame.height);
    return joints;
}
