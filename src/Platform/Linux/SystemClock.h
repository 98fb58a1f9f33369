#pragma once

#include "Platform/Clock.h"

// The machine's clocks: local wall time, CLOCK_BOOTTIME and CLOCK_MONOTONIC.
class SystemClock final : public Clock {
public:
    QDateTime now() const override;
    std::chrono::milliseconds sinceBoot() const override;
    std::chrono::milliseconds awakeSinceBoot() const override;
};
