#pragma once

#include "Platform/Clock.h"

// A clock that moves only when told: awake time, suspend, or a wall clock set by hand.
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime start) : wall_(std::move(start)) {}

    QDateTime now() const override { return wall_; }
    std::chrono::milliseconds sinceBoot() const override { return boot_; }
    std::chrono::milliseconds awakeSinceBoot() const override { return awake_; }
    QString bootId() const override { return QString::number(boots_); }

    void advance(std::chrono::milliseconds by) {
        wall_ = wall_.addMSecs(by.count());
        boot_ += by;
        awake_ += by;
    }
    void suspendFor(std::chrono::milliseconds by) {
        wall_ = wall_.addMSecs(by.count());
        boot_ += by;
    }
    void setWall(QDateTime wall) { wall_ = std::move(wall); }
    // The machine starts again after `off` with its boot clocks from zero.
    void reboot(std::chrono::milliseconds off) {
        wall_ = wall_.addMSecs(off.count());
        boot_ = awake_ = std::chrono::milliseconds{20'000};
        ++boots_;
    }

private:
    QDateTime wall_;
    std::chrono::milliseconds boot_{3'600'000};
    std::chrono::milliseconds awake_{3'600'000};
    int boots_ = 1;
};
