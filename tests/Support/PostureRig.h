#pragma once

#include <QSignalSpy>
#include <chrono>

#include "Models/PostureCamera.h"
#include "Support/FakeCamera.h"
#include "Support/FakeClock.h"
#include "Support/MemorySettingsStore.h"
#include "Support/PostureBodies.h"

// A posture camera over fakes, with helpers that put one measurement through the real worker.
class PostureRig {
public:
    FakeClock clock{QDateTime(QDate(2026, 3, 10), QTime(10, 0))};
    MemorySettingsStore settings;
    FakeCameraBackend backend;
    std::unique_ptr<PostureCamera> camera = makeCamera();

    std::unique_ptr<PostureCamera> makeCamera() {
        return std::make_unique<PostureCamera>(clock, settings, backend);
    }

    bool startCamera() {
        camera->start();
        return waitUntil([this] { return camera->isRunning(); });
    }

    // 4 s later, the camera sees a body with these angles in one frame and publishes what it
    // measured.
    bool measure(double headTilt, double shoulderTilt, double slouchAngle) {
        clock.advance(PostureCamera::captureInterval);
        backend.advanceFrameClock(PostureCamera::captureInterval);
        backend.scene.setBody(bodyWith(headTilt, shoulderTilt, slouchAngle));
        const int before = backend.scene.framesMeasured;
        const QSignalSpy published(camera.get(), &PostureCamera::latestSnapshotChanged);
        backend.deliver(1);
        return waitUntil([&] { return !published.isEmpty(); }) &&
               backend.scene.framesMeasured == before + 1;
    }

    // Lets every hop to the main thread that is already queued arrive.
    void settle() {
        backend.deliver(0);
        QCoreApplication::processEvents();
    }
};
