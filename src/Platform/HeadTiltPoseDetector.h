#pragma once

#include <memory>

#include "Platform/PoseDetector.h"
#include "Platform/VideoFrame.h"

// A pose detector whose ear line follows the head's own roll.
//
// The body landmark network reads a head tilted 15° on upright shoulders as 5–7°, and on a
// head-and-shoulders portrait it shrinks the whole body onto the face and reads tilts of either
// sign: it was trained on upright crops of whole bodies, and its prior keeps heads level with
// the torso. So the frame goes to the network twice. The first pass, on the frame as it is, gives
// the body: presence, shoulders, nose. The second sees the frame at half that size at the top of
// its square, as a body whose hips lie below the picture would fill it; there the face lands where
// it is and at its true size. Within a window on that face the roll comes from the face's mirror
// symmetry, and the ears are set on a line at that roll through their midpoint, their spacing kept.
// When the second pass finds nobody the first pass places the face window; when the face gives
// no clear axis, the first pass's ears stay as they are. The shoulders stay the network's: it
// barely follows shoulders turned apart from the head (on either pass), and the torso's mirror
// axis, tried the same way, followed a plain jacket but read 20–55° off on a spacesuit beside a
// flag and on a man seen side-on.
// Cost: a second network run plus 2–3 ms of CPU for the square and the face search, once per
// analysed frame.
class HeadTiltPoseDetector : public PoseDetector {
public:
    explicit HeadTiltPoseDetector(std::unique_ptr<PoseDetector> network);

    std::optional<BodyJoints> detect(const RgbImage& frame) override;

private:
    std::unique_ptr<PoseDetector> network_;
    RgbImage halfSize_;  // the second pass's square, kept to reuse its pixels
};
