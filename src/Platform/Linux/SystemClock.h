#pragma once

#include "Platform/Clock.h"

// The machine's clocks: local wall time, CLOCK_BOOTTIME and CLOCK_MONOTONIC, and the
// kernel's name for this boot.
class SystemClock final : public Clock {
public:
    SystemClock();

    QDateTime now() const override;
    std::chrono::milliseconds sinceBoot() const override;
    std::chrono::milliseconds awakeSinceBoot() const override;
    QString bootId() const override { return bootId_; }

private:
    QString bootId_;
};
