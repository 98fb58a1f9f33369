#pragma once

#include <QObject>
#include <QThread>
#include <chrono>
#include <memory>
#include <optional>

#include "Models/PostureGeometry.h"
#include "Models/PostureSnapshot.h"

class CameraBackend;
class CameraWorker;
class Clock;
class SettingsStore;

// Why the camera is not measuring, for the screens to put into words.
enum class CameraProblem { noCamera, accessRefused, cameraDisconnected, poseModelMissing };

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

    // Starts capturing; nothing happens while running or while a start is under way.
    void start();
    void stop();
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
    QThread thread_;
    std::unique_ptr<CameraWorker> worker_;
};
