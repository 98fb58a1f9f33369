#pragma once

#include <memory>

#include "Platform/PoseDetector.h"

// A pose detector whose ear line follows the head's own roll.
//
// The body landmark network reads a head tilted on upright shoulders at a third of its angle or
// less, and on a head-and-shoulders portrait it shrinks the whole body onto the face: its prior
// ties the head to the torso, and it expects a whole body in its square. So the frame goes to
// the network twice. The first pass, on the frame as it is, gives the body: presence, shoulders,
// nose. The second sees the frame at half that size at the top of its square, as a body whose
// hips lie below the picture would fill it; there the face lands where it is and at its true
// size. Within a window on that face the roll comes from the face's mirror symmetry, and the
// ears are set on a line at that roll through their midpoint, their spacing kept.
// When the second pass finds nobody the first pass places the face window; when the face gives
// no clear axis, the first pass's ears stay as they are.
class HeadTiltPoseDetector : public PoseDetector {
public:
    explicit HeadTiltPoseDetector(std::unique_ptr<PoseDetector> network);

    std::optional<BodyJoints> detect(const RgbImage& frame) override;

private:
    std::unique_ptr<PoseDetector> network_;
};
