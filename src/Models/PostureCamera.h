#pragma once

#include <QObject>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>

#include "Models/CameraProblem.h"
#include "Models/PostureGeometry.h"
#include "Models/PostureSnapshot.h"

class CameraBackend;
class CameraWorker;
class Clock;
class SettingsStore;

// The webcam as a slow stream of posture measurements, and the calibrated baseline they are
// judged against. Capture and pose detection run on the worker thread "posture.camera"; every
// published value is written here, on the main thread. No frame is kept or stored.
class PostureCamera : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isRunning READ isRunning NOTIFY isRunningChanged)
    Q_PROPERTY(bool cameraPermissionDenied READ cameraPermissionDenied NOTIFY
                   cameraPermissionDeniedChanged)

public:
    static constexpr std::chrono::milliseconds captureInterval{4000};
    // A measurement older than a few capture intervals no longer describes the user: they left,
    // or the camera stopped.
    static constexpr std::chrono::milliseconds snapshotFreshness{3 * captureInterval};
    static constexpr double uncalibratedHeadTilt = 0.0;
    static constexpr double uncalibratedShoulderTilt = 0.0;
    static constexpr double uncalibratedSlouchAngle = 90.0;
    // A webcam plugged in is given this long to settle (permissions, the desktop's device
    // list) before it is opened.
    static constexpr std::chrono::milliseconds replugSettle{1500};
    // Tries after a device appeared, each waiting twice as long as the one before.
    static constexpr int replugAttempts = 3;

    PostureCamera(Clock& clock, SettingsStore& settings, CameraBackend& backend,
                  QObject* parent = nullptr);
    ~PostureCamera() override;

    bool isRunning() const { return isRunning_; }
    bool cameraPermissionDenied() const { return cameraPermissionDenied_; }
    std::optional<CameraProblem> problem() const { return problem_; }
    // The most recent measurement, however old.
    const std::optional<PostureSnapshot>& latestSnapshot() const { return latestSnapshot_; }
    // The most recent measurement if it is still current, else none.
    std::optional<PostureSnapshot> freshSnapshot() const;
    // Time since the latest measurement on the boot clock, which neither a wall clock set
    // back nor a suspend can fool; none before the first.
    std::optional<std::chrono::milliseconds> snapshotAge() const;

    // Whether a baseline has been taken and kept ("postureCalibrated").
    bool isCalibrated() const;
    double baselineHeadTilt() const { return baselineHeadTilt_; }
    double baselineShoulderTilt() const { return baselineShoulderTilt_; }
    double baselineSlouchAngle() const { return baselineSlouchAngle_; }

    // Starts capturing; nothing happens while running or while a start is under way. While
    // another app holds the webcam the start waits until it is free again.
    void start();
    void stop();
    // Lets go of the webcam at once while another app uses it, and takes it back afterwards if
    // capture is still wanted.
    void setPausedForOtherApp(bool paused);
    bool isPausedForOtherApp() const { return pausedForOtherApp_; }
    // A video device appeared or went: a camera that was missing or unplugged is tried again.
    void videoDevicesChanged();
    // The current measurement becomes the baseline, and is kept. Nothing without one.
    void calibrate();
    void loadCalibration();

signals:
    void isRunningChanged();
    void cameraPermissionDeniedChanged();
    void problemChanged();
    void latestSnapshotChanged();
    void calibrationChanged();

private:
    friend class CameraWorker;
    void ensureWorker();
    void openSession();
    void closeSession();
    void sessionStarted(quint64 session);
    void sessionFailed(quint64 session, CameraProblem problem);
    void measured(quint64 session, PostureAngles angles);
    void setRunning(bool running);
    void setProblem(std::optional<CameraProblem> problem);

    Clock& clock_;
    SettingsStore& settings_;
    CameraBackend& backend_;

    bool isRunning_ = false;
    bool cameraPermissionDenied_ = false;
    std::optional<CameraProblem> problem_;
    std::optional<PostureSnapshot> latestSnapshot_;
    std::chrono::milliseconds latestSnapshotBootTime_{0};
    double baselineHeadTilt_ = uncalibratedHeadTilt;
    double baselineShoulderTilt_ = uncalibratedShoulderTilt;
    double baselineSlouchAngle_ = uncalibratedSlouchAngle;

    // Each start opens a new session; reports from an earlier one are ignored.
    quint64 session_ = 0;
    bool settingUp_ = false;
    // start() was asked for and stop() has not been since: capture resumes after a pause or
    // when an unplugged camera comes back.
    bool wanted_ = false;
    bool pausedForOtherApp_ = false;
    QTimer replugRetry_;
    int replugTries_ = 0;
    QThread thread_;
    std::unique_ptr<CameraWorker> worker_;
};
