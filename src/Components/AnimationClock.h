#pragma once

#include <chrono>

// Where the window's motion reads the time: a steady count of milliseconds. Each animated
// component keeps the real one unless a test hands it a clock it sets by hand.
class AnimationClock {
public:
    virtual ~AnimationClock() = default;
    virtual std::chrono::milliseconds now() const = 0;
};

class SteadyAnimationClock final : public AnimationClock {
public:
    std::chrono::milliseconds now() const override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
};
