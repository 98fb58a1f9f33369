#pragma once

#include <QTimer>
#include <QWidget>
#include <chrono>
#include <optional>

class FilledButton;
class LinkButton;
class QLabel;
class QStackedLayout;
class SittingTracker;

struct PageContext;

// The calibration page: it makes sure the camera runs, explains the three steps, counts
// 3-2-1 and then keeps the current measurement as the posture baseline. When there was no
// current measurement to keep, it says so instead of claiming success.
class CalibrationView : public QWidget {
    Q_OBJECT

public:
    enum class State { introduction, countdown, finished, noBaseline };

    static constexpr std::chrono::milliseconds countdownStep{1000};
    static constexpr int countdownFrom = 3;

    CalibrationView(SittingTracker& tracker, PageContext& context, QWidget* parent = nullptr);

    State state() const;
    std::optional<int> countdown() const { return countdown_; }
    bool isCounting() const { return timer_.isActive(); }
    // One second of the countdown; the timer calls it.
    void countdownTick();

    // What the page shows, as a user reads it.
    QString cameraStatusText() const;
    QColor cameraStatusColor() const;
    QString countdownText() const;
    LinkButton* backButton() const { return back_; }
    FilledButton* calibrateButton() const { return calibrate_; }
    FilledButton* doneButton() const { return done_; }
    FilledButton* retryButton() const { return retry_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildIntroduction();
    QWidget* buildCountdown();
    QWidget* buildFinished();
    QWidget* buildNoBaseline();
    void startCalibration();
    void redraw();

    SittingTracker& tracker_;
    std::optional<int> countdown_;
    bool calibrated_ = false;
    bool baselineTaken_ = false;
    bool cameraChecked_ = false;
    QTimer timer_;

    LinkButton* back_;
    QStackedLayout* states_;
    QWidget* introduction_;
    QWidget* counting_;
    QWidget* finished_;
    QWidget* noBaseline_;
    QLabel* cameraStatus_ = nullptr;
    FilledButton* calibrate_ = nullptr;
    QLabel* number_ = nullptr;
    FilledButton* done_ = nullptr;
    FilledButton* retry_ = nullptr;
};
