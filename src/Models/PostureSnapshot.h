#pragma once

#include <QDateTime>
#include <QMetaType>

// One posture measurement: the raw, signed angles of one frame.
struct PostureSnapshot {
    double headTiltDegrees = 0.0;      // left ear to right ear, −180…180
    double shoulderTiltDegrees = 0.0;  // left shoulder to right shoulder, −180…180
    double slouchAngleDegrees = 0.0;   // at the neck, between nose and shoulder midpoint, 0…180
    QDateTime timestamp;               // when the measurement was completed

    bool operator==(const PostureSnapshot&) const = default;
};

Q_DECLARE_METATYPE(PostureSnapshot)
