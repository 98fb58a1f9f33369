#pragma once

#include <QTimer>
#include <array>
#include <chrono>

#include "Components/StatCard.h"

class GlassButton;
class AccessibilityPreferences;
class ProgressBar;
class FigureLabel;
class QComboBox;
class QLabel;
class SittingTracker;
struct PageContext;

// The dashboard's exercise card: minutes logged against the minutes today's sitting calls
// for, the bar between them, and the picker and button that log a session.
class ExerciseOffsetCard : public StatCard {
    Q_OBJECT

public:
    static constexpr std::array<int, 7> amounts{5, 10, 15, 20, 30, 45, 60};
    static constexpr int defaultAmount = 15;
    // How long the button stays pressed in after a click.
    static constexpr std::chrono::milliseconds pressHold{150};

    ExerciseOffsetCard(SittingTracker& tracker, PageContext& context, QWidget* parent = nullptr);

    QComboBox* picker() const { return picker_; }
    GlassButton* logButton() const { return log_; }
    ProgressBar* bar() const { return bar_; }
    QString loggedText() const;
    QString neededText() const;
    QString statusText() const;
    QColor statusColor() const;

private:
    void redraw();
    void logPicked();

    SittingTracker& tracker_;
    const AccessibilityPreferences& motion_;
    FigureLabel* logged_;
    FigureLabel* needed_;
    ProgressBar* bar_;
    QLabel* status_;
    QComboBox* picker_;
    GlassButton* log_;
};
