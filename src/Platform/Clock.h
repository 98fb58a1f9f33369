#pragma once

#include <QDateTime>
#include <chrono>

// Where the tracker learns the time. The wall clock gives dates and instants; the two
// steady clocks let it tell a suspended machine and a wall clock that was set apart
// from real time spent at the desk.
class Clock {
public:
    virtual ~Clock() = default;

    // The local wall-clock time.
    virtual QDateTime now() const = 0;
    // Time since boot, including time the machine spent suspended.
    virtual std::chrono::milliseconds sinceBoot() const = 0;
    // Time since boot while the machine was awake; stands still during suspend.
    virtual std::chrono::milliseconds awakeSinceBoot() const = 0;
    // Names this boot: readings of the boot clock compare only within one boot.
    virtual QString bootId() const = 0;
};
