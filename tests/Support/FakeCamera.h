#pragma once

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <QMetaObject>
#include <QObject>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "Platform/CameraBackend.h"
#include "Platform/VideoFrame.h"

// A frame that always converts to the same small grey image.
class StillFrame final : public VideoFrame {
public:
    std::optional<RgbImage> toRgbImage() const override {
        return RgbImage{4, 4, QByteArray(4 * 4 * 3, '\x80')};
    }
};

// The scene in front of a fake camera: whether there is a camera at all, and the body the
// detector will find. Shared between the test (main thread) and the worker thread.
class FakeScene {
public:
    void setBody(std::optional<BodyJoints> body) {
        const std::scoped_lock lock(mutex_);
        body_ = body;
    }
    std::optional<BodyJoints> body() const {
        const std::scoped_lock lock(mutex_);
        return body_;
    }

    // A stand-in device node that the source holds open while it streams, as a webcam's
    // driver is held by the process that streams from it.
    void setDeviceFile(std::string path) {
        const std::scoped_lock lock(mutex_);
        deviceFile_ = std::move(path);
    }
    std::string deviceFile() const {
        const std::scoped_lock lock(mutex_);
        return deviceFile_;
    }

    std::atomic<bool> hasCamera{true};
    std::atomic<bool> refusesAccess{false};
    std::atomic<bool> modelLoads{true};
    // A camera that takes its time to open: it starts only when the test says so.
    std::atomic<bool> opensOnlyWhenTold{false};
    std::atomic<int> framesMeasured{0};
    std::atomic<int> sourcesOpened{0};
    // When the stand-in device was last closed, in CLOCK_MONOTONIC nanoseconds.
    std::atomic<std::int64_t> deviceClosedNs{0};

private:
    mutable std::mutex mutex_;
    std::optional<BodyJoints> body_;
    std::string deviceFile_;
};

class FakePoseDetector final : public PoseDetector {
public:
    explicit FakePoseDetector(FakeScene& scene) : scene_(scene) {}
    std::optional<BodyJoints> detect(const RgbImage&) override {
        ++scene_.framesMeasured;
        return scene_.body();
    }

private:
    FakeScene& scene_;
};

class FakeCameraBackend;

// Frames arrive only when the test sends them, on the worker thread.
class FakeFrameSource final : public FrameSource {
public:
    FakeFrameSource(FakeScene& scene, FakeCameraBackend& backend)
        : scene_(scene), backend_(backend) {}
    ~FakeFrameSource() override;
    void start(FrameSink& sink) override {
        if (!scene_.hasCamera) {
            sink.sourceFailed(FrameSourceFailure::noCamera);
            return;
        }
        if (scene_.refusesAccess) {
            sink.sourceFailed(FrameSourceFailure::accessRefused);
            return;
        }
        if (const std::string device = scene_.deviceFile(); !device.empty()) {
            device_ = ::open(device.c_str(), O_RDONLY | O_CLOEXEC);
        }
        sink_ = &sink;
        if (!scene_.opensOnlyWhenTold) {
            sink.sourceStarted();
        }
    }
    void finishOpening() {
        if (sink_) {
            sink_->sourceStarted();
        }
    }
    void stop() override {
        sink_ = nullptr;
        if (device_ >= 0) {
            ::close(std::exchange(device_, -1));
            timespec now{};
            ::clock_gettime(CLOCK_MONOTONIC, &now);
            scene_.deviceClosedNs = std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
        }
    }

    void deliver(int frames) {
        for (int i = 0; i < frames && sink_; ++i) {
            sink_->frameArrived(StillFrame{});
        }
    }
    void unplug() {
        if (FrameSink* sink = std::exchange(sink_, nullptr)) {
            sink->sourceFailed(FrameSourceFailure::cameraDisconnected);
        }
    }

private:
    FakeScene& scene_;
    FakeCameraBackend& backend_;
    FrameSink* sink_ = nullptr;
    int device_ = -1;
};

class FakeCameraBackend final : public CameraBackend {
public:
    std::unique_ptr<FrameSource> openFrameSource() override {
        auto source = std::make_unique<FakeFrameSource>(scene, *this);
        {
            const std::scoped_lock lock(mutex_);
            source_ = source.get();
            // Made on the worker thread, so work posted to it runs there.
            context_ = std::make_unique<QObject>();
        }
        ++scene.sourcesOpened;
        return source;
    }
    std::unique_ptr<PoseDetector> loadPoseDetector() override {
        if (!scene.modelLoads) {
            return nullptr;
        }
        return std::make_unique<FakePoseDetector>(scene);
    }

    std::chrono::steady_clock::time_point frameTime() const override {
        return std::chrono::steady_clock::time_point(
            std::chrono::milliseconds(frameClockMs.load()));
    }
    // Moves the time frames arrive at, which the capture throttle reads.
    void advanceFrameClock(std::chrono::milliseconds by) { frameClockMs += by.count(); }

    // Sends frames from the worker thread, as a camera would.
    void deliver(int frames) {
        onWorker([frames](FakeFrameSource& source) { source.deliver(frames); });
    }
    void unplug() {
        onWorker([](FakeFrameSource& source) { source.unplug(); });
    }
    void finishOpening() {
        onWorker([](FakeFrameSource& source) { source.finishOpening(); });
    }

    FakeScene scene;
    std::atomic<std::int64_t> frameClockMs{1'000'000};

private:
    friend class FakeFrameSource;

    // The source is made and destroyed on the worker thread, so it is looked up there.
    template <typename Work>
    void onWorker(Work work) {
        QObject* context = nullptr;
        {
            const std::scoped_lock lock(mutex_);
            context = context_.get();
        }
        if (!context) {
            return;
        }
        QMetaObject::invokeMethod(
            context,
            [this, work] {
                FakeFrameSource* source = nullptr;
                {
                    const std::scoped_lock lock(mutex_);
                    source = source_;
                }
                if (source) {
                    work(*source);
                }
            },
            Qt::BlockingQueuedConnection);
    }

    std::mutex mutex_;
    FakeFrameSource* source_ = nullptr;
    std::unique_ptr<QObject> context_;
};

inline FakeFrameSource::~FakeFrameSource() {
    stop();
    const std::scoped_lock lock(backend_.mutex_);
    if (backend_.source_ == this) {
        backend_.source_ = nullptr;
    }
}
