#pragma once

#include <QEasingCurve>
#include <algorithm>
#include <chrono>
#include <cmath>

// The window's one ease-in-out: slow out of rest, slow into the end, symmetric about the middle.
inline double easeInOut(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// The same curve for Qt's animations.
inline QEasingCurve easeInOutCurve() {
    QEasingCurve curve;
    curve.setCustomType([](qreal t) { return static_cast<qreal>(easeInOut(t)); });
    return curve;
}

// Ease-out: quick from the start, slow into the end; t from 0 to 1.
inline double easeOut(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return 1.0 - (1.0 - t) * (1.0 - t);
}

// A value swinging between 0 and 1 and back, ease-in-out each way: `elapsed` into the swing,
// `half` the time of one way.
inline double swingAt(std::chrono::milliseconds elapsed, std::chrono::milliseconds half) {
    if (half.count() <= 0) {
        return 0.0;
    }
    const double cycles = static_cast<double>(elapsed.count()) / static_cast<double>(half.count());
    const double within = std::fmod(cycles, 2.0);
    return easeInOut(within <= 1.0 ? within : 2.0 - within);
}
