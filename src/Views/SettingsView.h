#pragma once

#include <QTimer>
#include <QWidget>
#include <chrono>

class AutostartEntry;
class LinkButton;
class AccessibilityPreferences;
class QComboBox;
class QFrame;
class QLabel;
class SittingTracker;
class ToggleSwitch;
struct PageContext;

// The settings page: the reminder cadence with its hint, the exercise and posture switches,
// the privacy note and, while posture tracking is on, the way to calibrate, then the switch that
// starts Spindrel at login. Every change is kept at once (by the tracker, or on disk as the
// autostart entry) and confirmed with "Locked in ✓".
class SettingsView : public QWidget {
    Q_OBJECT

public:
    // The confirmation stays this long after the latest change.
    static constexpr std::chrono::milliseconds confirmationTime{1500};

    SettingsView(SittingTracker& tracker, PageContext& context, QWidget* parent = nullptr);

    QComboBox* cadencePicker() const { return cadence_; }
    QString hintText() const;
    ToggleSwitch* exerciseSwitch() const { return exercise_; }
    ToggleSwitch* postureSwitch() const { return posture_; }
    ToggleSwitch* loginSwitch() const { return login_; }
    LinkButton* backButton() const { return back_; }
    // While posture tracking is on.
    LinkButton* calibrateButton() const;
    bool showsConfirmation() const;

private:
    void redraw();
    void flashSaved();

    SittingTracker& tracker_;
    const AccessibilityPreferences& motion_;
    LinkButton* back_;
    QComboBox* cadence_;
    QLabel* hint_;
    ToggleSwitch* exercise_;
    ToggleSwitch* posture_;
    QFrame* calibrateDivider_;
    LinkButton* calibrate_;
    AutostartEntry& autostart_;
    ToggleSwitch* login_;
    QLabel* saved_;
    QTimer hideSaved_;
    bool savedLeaving_ = false;
};
