#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>

#include "Data/Routines.h"

class RandomSource;

// One visit to the reset page: the chosen category, the routine drawn for it, and its
// second-by-second countdown through the steps. The timer lives only while it counts.
class RoutineRunner : public QObject {
    Q_OBJECT

public:
    static constexpr int finalCountdownSeconds = 10;

    explicit RoutineRunner(RandomSource& random, QObject* parent = nullptr);

    std::optional<RoutineCategory> selectedCategory() const { return selectedCategory_; }
    const std::optional<Routine>& routine() const { return routine_; }
    int secondsLeft() const { return secondsLeft_; }
    int stepIndex() const { return stepIndex_; }
    bool timerRunning() const { return timerRunning_; }
    bool showComplete() const { return showComplete_; }
    bool isCounting() const { return timer_.isActive(); }
    QString currentStep() const;
    QString timerText() const { return timerText(secondsLeft_); }
    // The last seconds of a running countdown are shown in a warmer colour.
    bool inFinalCountdown() const { return timerRunning_ && secondsLeft_ <= finalCountdownSeconds; }

    // "m:ss".
    static QString timerText(int seconds);

    // A pill: choose the category (none: any) and draw again, also when it was chosen.
    void selectCategory(std::optional<RoutineCategory> category);
    // Stops any countdown and draws a routine of the selected category.
    void pickRoutine();
    void startTimer();
    // Straight to the completion panel, without counting.
    void skip();
    // Leaving the page: the countdown stops and the routine is abandoned.
    void abandon();
    // One second of the countdown; the timer calls it.
    void tick();

signals:
    void changed();

private:
    std::chrono::seconds total() const;
    int lastStep() const;
    void stopTimer();

    RandomSource& random_;
    std::optional<RoutineCategory> selectedCategory_;
    std::optional<Routine> routine_;
    int secondsLeft_ = 60;
    int stepIndex_ = 0;
    bool timerRunning_ = false;
    bool showComplete_ = false;
    int secondsPerStep_ = 1;
    QTimer timer_;
};
