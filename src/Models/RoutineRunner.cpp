#include "Models/RoutineRunner.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr std::chrono::seconds kWithoutRoutine{60};

}  // namespace

RoutineRunner::RoutineRunner(RandomSource& random, QObject* parent)
    : QObject(parent), random_(random) {
    timer_.setInterval(std::chrono::seconds{1});
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &RoutineRunner::tick);
}

QString RoutineRunner::timerText(int seconds) {
    return QString::asprintf("%d:%02d", seconds / 60, seconds % 60);
}

QString RoutineRunner::currentStep() const {
    if (!routine_ || stepIndex_ < 0 || stepIndex_ >= routine_->steps.size()) {
        return {};
    }
    return routine_->steps[stepIndex_];
}

std::chrono::seconds RoutineRunner::total() const {
    return routine_ ? routine_->duration : kWithoutRoutine;
}

int RoutineRunner::lastStep() const {
    return routine_ ? static_cast<int>(routine_->steps.size()) - 1 : 0;
}

void RoutineRunner::stopTimer() {
    timer_.stop();
    timerRunning_ = false;
}

void RoutineRunner::selectCategory(std::optional<RoutineCategory> category) {
    selectedCategory_ = category;
    pickRoutine();
}

void RoutineRunner::pickRoutine() {
    stopTimer();
    showComplete_ = false;
    stepIndex_ = 0;
    routine_ = Routines::random(selectedCategory_, random_);
    secondsLeft_ = static_cast<int>(total().count());
    emit changed();
}

void RoutineRunner::startTimer() {
    timerRunning_ = true;
    const int steps = std::max(routine_ ? static_cast<int>(routine_->steps.size()) : 1, 1);
    secondsPerStep_ = static_cast<int>(total().count()) / steps;
    timer_.start();
    emit changed();
}

void RoutineRunner::skip() {
    showComplete_ = true;
    emit changed();
}

void RoutineRunner::abandon() {
    stopTimer();
    emit changed();
}

void RoutineRunner::tick() {
    if (!timerRunning_) {
        return;  // a firing that was already on its way when the countdown stopped
    }
    --secondsLeft_;
    // The step follows the time elapsed, so a late tick cannot leave it behind.
    const int elapsed = static_cast<int>(total().count()) - secondsLeft_;
    stepIndex_ = std::min(lastStep(), elapsed / std::max(secondsPerStep_, 1));
    if (secondsLeft_ <= 0) {
        stopTimer();
        showComplete_ = true;
    }
    emit changed();
}
