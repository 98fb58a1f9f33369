#include "Platform/Linux/PoseGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

// Nose height above the shoulder midpoint of an upright user, in shoulder widths, as the lite
// network places them on the upright test photographs (0.44–0.53, mean 0.46).
constexpr double kUprightNoseHeight = 0.46;

}  // namespace

CanvasPlacement CanvasPlacement::forFrame(int frameWidth, int frameHeight, int inputSize) {
    const double side = std::max(frameWidth, frameHeight);
    CanvasPlacement placement;
    placement.scale = inputSize / side;
    placement.offsetX = (side - frameWidth) / 2.0 * placement.scale;
    placement.offsetY = 0.0;
    return placement;
}

PoseJoint deriveNeck(const PoseJoint& nose, const PoseJoint& leftShoulder,
                     const PoseJoint& rightShoulder, double frameAspect) {
    PoseJoint neck;
    neck.confidence =
        std::min({nose.confidence, leftShoulder.confidence, rightShoulder.confidence});
    const double midX = (leftShoulder.x + rightShoulder.x) / 2.0;
    const double midY = (leftShoulder.y + rightShoulder.y) / 2.0;
    // Where an upright nose would be: up from the midpoint, square to the shoulder line in
    // pixels (x scaled by the aspect), then back to normalised coordinates.
    const double alongX = (rightShoulder.x - leftShoulder.x) * frameAspect;
    const double alongY = rightShoulder.y - leftShoulder.y;
    const double expectedX = midX - kUprightNoseHeight * alongY / frameAspect;
    const double expectedY = midY + kUprightNoseHeight * alongX;

    const double axisX = expectedX - midX;
    const double axisY = expectedY - midY;
    const double diameter = std::hypot(axisX, axisY);
    if (!(diameter > 0.0) || !std::isfinite(diameter)) {
        neck.x = midX;
        neck.y = midY;
        return neck;
    }
    // Unit axis towards the upright nose and its side towards the right shoulder.
    const double ax = axisX / diameter;
    const double ay = axisY / diameter;
    const double sx = ay;
    const double sy = -ax;
    const double noseSideways = (nose.x - midX) * sx + (nose.y - midY) * sy;
    const double radius = diameter / 2.0;
    const double side = radius + noseSideways / 2.0;
    neck.x = midX + radius * ax + side * sx;
    neck.y = midY + radius * ay + side * sy;
    return neck;
}
