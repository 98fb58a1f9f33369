#include "Models/PostureCamera.h"

#include <QCoreApplication>
#include <cmath>

#include "Models/CaptureThrottle.h"
#include "Platform/CameraBackend.h"
#include "Platform/Clock.h"
#include "Platform/SettingsStore.h"
#include "Platform/VideoFrame.h"

using namespace Qt::StringLiterals;
using std::chrono::milliseconds;

namespace {

const QString kPostureCalibrated = u"postureCalibrated"_s;
const QString kBaselineHeadTilt = u"baselineHeadTilt"_s;
const QString kBaselineShoulderTilt = u"baselineShoulderTilt"_s;
const QString kBaselineSlouchAngle = u"baselineSlouchAngle"_s;

CameraProblem problemOf(FrameSourceFailure failure) {
    switch (failure) {
        case FrameSourceFailure::noCamera:
            return CameraProblem::noCamera;
        case FrameSourceFailure::accessRefused:
            return CameraProblem::accessRefused;
        case FrameSourceFailure::cameraDisconnected:
            return CameraProblem::cameraDisconnected;
    }
    return CameraProblem::noCamera;
}

double storedBaseline(const SettingsStore& settings, const QString& key) {
    const double value = settings.real(key).value_or(0.0);
    return std::isfinite(value) ? value : 0.0;
}

}  // namespace

// Lives on the "posture.camera" thread: owns the frame source and the pose network, keeps one
// frame per capture interval and hands each measurement to the camera by value.
class CameraWorker final : public QObject, public FrameSink {
public:
    CameraWorker(CameraBackend& backend, PostureCamera& camera)
        : backend_(backend), camera_(camera) {}

    void startCapture(quint64 session) {
        session_ = session;
        throttle_ = CaptureThrottle(PostureCamera::captureInterval);
        if (!detector_) {
            detector_ = backend_.loadPoseDetector();
            if (!detector_) {
                report(&PostureCamera::sessionFailed, CameraProblem::poseModelMissing);
                return;
            }
        }
        source_ = backend_.openFrameSource();
        if (!source_) {
            report(&PostureCamera::sessionFailed, CameraProblem::noCamera);
            return;
        }
        source_->start(*this);
    }

    void stopCapture() {
        if (source_) {
            source_->stop();
            source_.reset();
        }
    }

    // Releases everything made on this thread, then returns the worker to the main thread so
    // that it can be deleted there.
    void shutDown(QThread* home) {
        stopCapture();
        detector_.reset();
        moveToThread(home);
    }

    void sourceStarted() override { report(&PostureCamera::sessionStarted); }

    void sourceFailed(FrameSourceFailure failure) override {
        report(&PostureCamera::sessionFailed, problemOf(failure));
        // The source may be calling from inside itself: let it return before it goes.
        QMetaObject::invokeMethod(
            this,
            [this, session = session_] {
                if (session == session_) {
                    stopCapture();
                }
            },
            Qt::QueuedConnection);
    }

    void frameArrived(const VideoFrame& frame) override {
        if (!throttle_.accept(backend_.frameTime()) || !detector_) {
            return;
        }
        const std::optional<RgbImage> image = frame.toRgbImage();
        if (!image || !image->isValid()) {
            return;
        }
        const std::optional<BodyJoints> joints = detector_->detect(*image);
        if (!joints) {
            return;
        }
        const double aspect = double(image->width) / image->height;
        if (const std::optional<PostureAngles> angles = PostureGeometry::measure(*joints, aspect)) {
            report(&PostureCamera::measured, *angles);
        }
    }

private:
    template <typename... Args>
    void report(void (PostureCamera::*slot)(quint64, Args...), Args... args) {
        QMetaObject::invokeMethod(
            &camera_,
            [camera = &camera_, slot, session = session_, args...] {
                (camera->*slot)(session, args...);
            },
            Qt::QueuedConnection);
    }

    CameraBackend& backend_;
    PostureCamera& camera_;
    quint64 session_ = 0;
    CaptureThrottle throttle_{PostureCamera::captureInterval};
    std::unique_ptr<PoseDetector> detector_;
    std::unique_ptr<FrameSource> source_;
};

PostureCamera::PostureCamera(Clock& clock, SettingsStore& settings, CameraBackend& backend,
                             QObject* parent)
    : QObject(parent), clock_(clock), settings_(settings), backend_(backend) {
    replugRetry_.setSingleShot(true);
    connect(&replugRetry_, &QTimer::timeout, this, [this] {
        if (wanted_ && !pausedForOtherApp_) {
            ++replugTries_;
            openSession();
        }
    });
}

PostureCamera::~PostureCamera() {
    if (!worker_) {
        return;
    }
    QThread* home = thread();
    CameraWorker* worker = worker_.get();
    QMetaObject::invokeMethod(
        worker, [worker, home] { worker->shutDown(home); }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
    worker_.reset();
}

std::optional<milliseconds> PostureCamera::snapshotAge() const {
    if (!latestSnapshot_) {
        return std::nullopt;
    }
    return clock_.sinceBoot() - latestSnapshotBootTime_;
}

std::optional<PostureSnapshot> PostureCamera::freshSnapshot() const {
    const std::optional<milliseconds> age = snapshotAge();
    if (!age || *age > snapshotFreshness) {
        return std::nullopt;
    }
    return latestSnapshot_;
}

void PostureCamera::ensureWorker() {
    if (worker_) {
        return;
    }
    worker_ = std::make_unique<CameraWorker>(backend_, *this);
    thread_.setObjectName(u"posture.camera"_s);
    worker_->moveToThread(&thread_);
    thread_.start(QThread::LowPriority);
}

void PostureCamera::start() {
    wanted_ = true;
    if (pausedForOtherApp_) {
        setProblem(CameraProblem::inUseByOtherApp);
        return;
    }
    openSession();
}

void PostureCamera::stop() {
    wanted_ = false;
    replugTries_ = 0;
    replugRetry_.stop();
    closeSession();
}

void PostureCamera::openSession() {
    if (isRunning_ || settingUp_) {
        return;
    }
    ensureWorker();
    settingUp_ = true;
    CameraWorker* worker = worker_.get();
    QMetaObject::invokeMethod(
        worker, [worker, session = ++session_] { worker->startCapture(session); },
        Qt::QueuedConnection);
}

void PostureCamera::closeSession() {
    settingUp_ = false;
    ++session_;  // whatever the worker still reports belongs to the stopped session
    if (worker_) {
        CameraWorker* worker = worker_.get();
        QMetaObject::invokeMethod(
            worker, [worker] { worker->stopCapture(); }, Qt::QueuedConnection);
    }
    setRunning(false);
}

void PostureCamera::setPausedForOtherApp(bool paused) {
    if (paused == pausedForOtherApp_) {
        return;
    }
    pausedForOtherApp_ = paused;
    if (paused) {
        replugRetry_.stop();
        closeSession();
        setProblem(CameraProblem::inUseByOtherApp);
        return;
    }
    if (problem_ == CameraProblem::inUseByOtherApp) {
        setProblem(std::nullopt);
    }
    if (wanted_) {
        openSession();
    }
}

void PostureCamera::videoDevicesChanged() {
    const bool deviceTrouble = problem_ == CameraProblem::noCamera ||
                               problem_ == CameraProblem::accessRefused ||
                               problem_ == CameraProblem::cameraDisconnected;
    if (wanted_ && deviceTrouble && !pausedForOtherApp_ && !isRunning_ && !settingUp_) {
        replugTries_ = 0;
        replugRetry_.start(replugSettle);
    }
}

void PostureCamera::sessionStarted(quint64 session) {
    if (session != session_ || !settingUp_) {
        return;
    }
    settingUp_ = false;
    replugTries_ = 0;
    setProblem(std::nullopt);
    setRunning(true);
}

void PostureCamera::sessionFailed(quint64 session, CameraProblem problem) {
    if (session != session_) {
        return;
    }
    settingUp_ = false;
    setRunning(false);
    setProblem(problem);
    // The desktop may list a webcam just plugged in, and grant the user access to it, only a
    // while after its node appears.
    const bool notReadyYet =
        problem == CameraProblem::noCamera || problem == CameraProblem::accessRefused;
    if (replugTries_ > 0 && replugTries_ < replugAttempts && notReadyYet && wanted_) {
        replugRetry_.start(replugSettle * (1 << replugTries_));
    }
    if ((problem == CameraProblem::noCamera || problem == CameraProblem::accessRefused) &&
        !cameraPermissionDenied_) {
        cameraPermissionDenied_ = true;
        emit cameraPermissionDeniedChanged();
    }
}

void PostureCamera::measured(quint64 session, PostureAngles angles) {
    if (session != session_) {
        return;
    }
    latestSnapshot_ = PostureSnapshot{
        .headTiltDegrees = angles.headTiltDegrees,
        .shoulderTiltDegrees = angles.shoulderTiltDegrees,
        .slouchAngleDegrees = angles.slouchAngleDegrees,
        .timestamp = clock_.now(),
    };
    latestSnapshotBootTime_ = clock_.sinceBoot();
    emit latestSnapshotChanged();
}

void PostureCamera::setRunning(bool running) {
    if (isRunning_ != running) {
        isRunning_ = running;
        emit isRunningChanged();
    }
}

void PostureCamera::setProblem(std::optional<CameraProblem> problem) {
    if (problem_ != problem) {
        problem_ = problem;
        emit problemChanged();
    }
}

void PostureCamera::calibrate() {
    const std::optional<PostureSnapshot> snapshot = freshSnapshot();
    if (!snapshot) {
        return;
    }
    baselineHeadTilt_ = snapshot->headTiltDegrees;
    baselineShoulderTilt_ = snapshot->shoulderTiltDegrees;
    baselineSlouchAngle_ = snapshot->slouchAngleDegrees;
    settings_.setReal(kBaselineHeadTilt, baselineHeadTilt_);
    settings_.setReal(kBaselineShoulderTilt, baselineShoulderTilt_);
    settings_.setReal(kBaselineSlouchAngle, baselineSlouchAngle_);
    settings_.setBoolean(kPostureCalibrated, true);
    settings_.commit();
    emit calibrationChanged();
}

bool PostureCamera::isCalibrated() const {
    return settings_.boolean(kPostureCalibrated).value_or(false);
}

void PostureCamera::loadCalibration() {
    if (!settings_.boolean(kPostureCalibrated).value_or(false)) {
        return;
    }
    baselineHeadTilt_ = storedBaseline(settings_, kBaselineHeadTilt);
    baselineShoulderTilt_ = storedBaseline(settings_, kBaselineShoulderTilt);
    baselineSlouchAngle_ = storedBaseline(settings_, kBaselineSlouchAngle);
    emit calibrationChanged();
}
