#pragma once

#include <chrono>
#include <optional>

// Keeps one frame per capture interval and drops the rest unexamined. Reads a steady clock,
// so a wall clock set back cannot stall the camera.
class CaptureThrottle {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    explicit CaptureThrottle(std::chrono::milliseconds interval) : interval_(interval) {}

    // True when the frame arriving at `now` is to be measured; its slot is then used up
    // whether or not a person is found in it.
    bool accept(TimePoint now) {
        if (lastAccepted_ && now - *lastAccepted_ < interval_) {
            return false;
        }
        lastAccepted_ = now;
        return true;
    }

private:
    std::chrono::milliseconds interval_;
    std::optional<TimePoint> lastAccepted_;
};
