#include "Models/CallWatch.h"

#include "Platform/CameraWatch.h"
#include "Platform/Clock.h"

using std::chrono::milliseconds;

CallWatch::CallWatch(CameraWatch& watch, Clock& clock, QObject* parent)
    : QObject(parent), watch_(watch), clock_(clock), onCall_(watch.heldByOtherApp()) {
    graceEnd_.setSingleShot(true);
    graceEnd_.setTimerType(Qt::CoarseTimer);
    connect(&graceEnd_, &QTimer::timeout, this, &CallWatch::recheck);
    connect(&watch_, &CameraWatch::heldByOtherAppChanged, this, &CallWatch::follow);
}

std::optional<milliseconds> CallWatch::sinceReleased() const {
    if (!releasedAt_ || watch_.heldByOtherApp()) {
        return std::nullopt;
    }
    return clock_.sinceBoot() - *releasedAt_;
}

void CallWatch::follow() {
    if (watch_.heldByOtherApp()) {
        graceEnd_.stop();
        setOnCall(true);
        return;
    }
    if (onCall_) {
        releasedAt_ = clock_.sinceBoot();
        graceEnd_.start(releaseGrace);
    }
}

void CallWatch::recheck() {
    if (!onCall_ || watch_.heldByOtherApp() || !releasedAt_) {
        return;
    }
    const milliseconds left = releaseGrace - (clock_.sinceBoot() - *releasedAt_);
    if (left > milliseconds{0}) {
        graceEnd_.start(left);
        return;
    }
    setOnCall(false);
}

void CallWatch::setOnCall(bool onCall) {
    if (onCall_ != onCall) {
        onCall_ = onCall;
        emit onCallChanged();
    }
}
