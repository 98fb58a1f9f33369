#include "Platform/Linux/SystemClock.h"

#include <time.h>
#include <QFile>

namespace {

std::chrono::milliseconds read(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::duration_cast<std::chrono::milliseconds>(
                                                  std::chrono::nanoseconds(now.tv_nsec));
}

}  // namespace

SystemClock::SystemClock() {
    // Without it every launch is taken as a new boot, which only forgoes a refinement.
    QFile id(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    if (id.open(QIODevice::ReadOnly)) {
        bootId_ = QString::fromLatin1(id.readAll().trimmed());
    }
}

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

std::chrono::milliseconds SystemClock::sinceBoot() const {
    return read(CLOCK_BOOTTIME);
}

std::chrono::milliseconds SystemClock::awakeSinceBoot() const {
    return read(CLOCK_MONOTONIC);
}
