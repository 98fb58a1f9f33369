#include "Models/PostureGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "Platform/PoseDetector.h"

namespace PostureGeometry {
namespace {

double toDegrees(double radians) {
    return radians * 180.0 / std::numbers::pi;
}

QPointF location(const PoseJoint& joint) {
    return {joint.x, joint.y};
}

}  // namespace

double directionDegrees(QPointF from, QPointF to) {
    return toDegrees(std::atan2(to.y() - from.y(), to.x() - from.x()));
}

double vertexAngleDegrees(QPointF a, QPointF vertex, QPointF b) {
    const QPointF u = a - vertex;
    const double uu = u.x() * u.x() + u.y() * u.y();
    if (uu <= 0) {
        return 0.0;
    }
    const QPointF w = b - vertex;
    const double ww = w.x() * w.x() + w.y() * w.y();
    if (ww <= 0) {
        return 0.0;
    }
    const double c = (u.x() * w.x() + u.y() * w.y()) / (std::sqrt(uu) * std::sqrt(ww));
    return toDegrees(std::acos(std::clamp(c, -1.0, 1.0)));
}

double angleDifferenceDegrees(double from, double to) {
    double turn = std::fmod(to - from, 360.0);
    if (turn <= -180.0) {
        turn += 360.0;
    } else if (turn > 180.0) {
        turn -= 360.0;
    }
    return turn;
}

std::optional<PostureAngles> measure(const BodyJoints& joints, double frameAspect) {
    const std::array trusted = {joints.nose,         joints.leftEar,       joints.rightEar,
                                joints.leftShoulder, joints.rightShoulder, joints.neck};
    if (!std::all_of(trusted.begin(), trusted.end(), [](const PoseJoint& joint) {
            return joint.confidence > minimumJointConfidence;
        })) {
        return std::nullopt;
    }
    const QPointF leftShoulder = location(joints.leftShoulder);
    const QPointF rightShoulder = location(joints.rightShoulder);
    const QPointF shoulderMidpoint = (leftShoulder + rightShoulder) * 0.5;
    const auto seen = [frameAspect](const PoseJoint& joint) {
        return QPointF(joint.x * frameAspect, joint.y);
    };
    return PostureAngles{
        .headTiltDegrees = directionDegrees(seen(joints.leftEar), seen(joints.rightEar)),
        .shoulderTiltDegrees =
            directionDegrees(seen(joints.leftShoulder), seen(joints.rightShoulder)),
        .slouchAngleDegrees =
            vertexAngleDegrees(location(joints.nose), location(joints.neck), shoulderMidpoint),
    };
}

}  // namespace PostureGeometry
