#pragma once

#include <optional>

struct RgbImage;

// One body landmark in the frame: normalised 0…1 over the image, origin at the lower-left
// corner, y upward; confidence 0…1.
struct PoseJoint {
    double x = 0.0;
    double y = 0.0;
    float confidence = 0.0F;
};

// The six joints posture geometry reads. "Left" and "right" are labelled so that a user facing
// the camera upright has the left ear and shoulder at the smaller x: tilts then read near 0°.
struct BodyJoints {
    PoseJoint nose;
    PoseJoint leftEar;
    PoseJoint rightEar;
    PoseJoint leftShoulder;
    PoseJoint rightShoulder;
    PoseJoint neck;
};

// Finds one person's joints in a frame. Lives on the camera worker thread.
class PoseDetector {
public:
    virtual ~PoseDetector() = default;
    // None when nobody is found.
    virtual std::optional<BodyJoints> detect(const RgbImage& frame) = 0;
};
