#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cmath>
#include <functional>
#include <numbers>

#include "Platform/PoseDetector.h"

// A detected body whose six joints give exactly these three posture angles.
inline BodyJoints bodyWith(double headTilt, double shoulderTilt, double slouchAngle,
                           float confidence = 0.9F) {
    const auto radians = [](double degrees) { return degrees * std::numbers::pi / 180.0; };
    const auto joint = [confidence](double x, double y) { return PoseJoint{x, y, confidence}; };
    BodyJoints body;
    body.leftEar = joint(0.45, 0.7);
    body.rightEar =
        joint(0.45 + 0.1 * std::cos(radians(headTilt)), 0.7 + 0.1 * std::sin(radians(headTilt)));
    // Shoulders about their midpoint (0.5, 0.2); the neck straight above it.
    const double dx = 0.1 * std::cos(radians(shoulderTilt));
    const double dy = 0.1 * std::sin(radians(shoulderTilt));
    body.leftShoulder = joint(0.5 - dx, 0.2 - dy);
    body.rightShoulder = joint(0.5 + dx, 0.2 + dy);
    body.neck = joint(0.5, 0.3);
    body.nose = joint(0.5 + 0.1 * std::sin(radians(slouchAngle)),
                      0.3 - 0.1 * std::cos(radians(slouchAngle)));
    return body;
}

// Runs the event loop until the condition holds or five seconds pass.
inline bool waitUntil(const std::function<bool()>& condition) {
    QElapsedTimer waited;
    waited.start();
    while (!condition()) {
        if (waited.elapsed() > 5000) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}
