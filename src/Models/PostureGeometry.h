#pragma once

#include <QPointF>
#include <optional>

#include "Models/PostureSnapshot.h"

struct BodyJoints;

// The three posture angles, without the time they were taken.
struct PostureAngles {
    double headTiltDegrees = 0.0;
    double shoulderTiltDegrees = 0.0;
    double slouchAngleDegrees = 0.0;
};

namespace PostureGeometry {

// Below or at this confidence a joint is not trusted, and the frame yields nothing.
inline constexpr float minimumJointConfidence = 0.3F;

// Direction of the line from `from` to `to`, in degrees, −180…180.
double directionDegrees(QPointF from, QPointF to);
// Angle at `vertex` between the rays to `a` and `b`, 0…180; 0 when either ray has no length.
double vertexAngleDegrees(QPointF a, QPointF vertex, QPointF b);
// The shortest signed turn from `from` to `to`, in (−180, 180]: 179° and −179° are 2° apart.
double angleDifferenceDegrees(double from, double to);
// The angles of one detected body; none when any of its six joints is not trusted. The tilts are
// directions in the picture as seen: x is stretched by the frame's width / height, so a head
// turned 15° reads 15° on a 16:9 webcam too, not the 25° its normalised coordinates give.
std::optional<PostureAngles> measure(const BodyJoints& joints, double frameAspect = 1.0);

}  // namespace PostureGeometry
