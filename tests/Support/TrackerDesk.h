#pragma once

#include <QCoreApplication>
#include <chrono>
#include <memory>

#include "Models/SittingTracker.h"
#include "Support/FakeCamera.h"
#include "Support/FakeCameraWatch.h"
#include "Support/FakeClock.h"
#include "Support/FakeIdleSource.h"
#include "Support/FakeNotifier.h"
#include "Support/FakeRandomSource.h"
#include "Support/MemorySettingsStore.h"
#include "Support/PostureBodies.h"

// A desk over simulated time, from a Tuesday morning unless told otherwise: a fake for every
// service the tracker is built from.
class TrackerDesk {
public:
    explicit TrackerDesk(QDateTime start = QDateTime(QDate(2026, 3, 10), QTime(9, 0)))
        : clock(std::move(start)) {}

    FakeClock clock;
    FakeIdleSource idle;
    FakeNotifier notifier;
    MemorySettingsStore settings;
    FakeRandomSource random;
    FakeCameraBackend camera;
    FakeCameraWatch cameraWatch;
    std::unique_ptr<SittingTracker> tracker;

    TrackerServices services() {
        return TrackerServices{clock, idle, notifier, settings, random, camera, cameraWatch};
    }
    SittingTracker& launch() {
        tracker = std::make_unique<SittingTracker>(services());
        return *tracker;
    }

    // Today's record already holds this much sitting and break time when the tracker starts.
    void storeToday(double sittingMinutes, double breakMinutes = 0) {
        settings.setString(QStringLiteral("lastDate"),
                           clock.now().date().toString(QStringLiteral("yyyy-MM-dd")));
        settings.setReal(QStringLiteral("bankedMs"), sittingMinutes * 60'000.0);
        settings.setReal(QStringLiteral("bankedBreakMs"), breakMinutes * 60'000.0);
    }

    // A baseline is kept from an earlier day: level shoulders, a neck at 90°, the head as given.
    void storeCalibration(double headTilt = 0.0) {
        settings.setBoolean(QStringLiteral("postureCalibrated"), true);
        settings.setReal(QStringLiteral("baselineHeadTilt"), headTilt);
        settings.setReal(QStringLiteral("baselineShoulderTilt"), 0.0);
        settings.setReal(QStringLiteral("baselineSlouchAngle"), 90.0);
    }

    bool startCamera() {
        tracker->postureCamera().start();
        return waitUntil([this] { return tracker->postureCamera().isRunning(); });
    }
    // 30 s on, the camera sees this body just before the tracker ticks and judges it.
    bool tickSeeing(double headTilt, double shoulderTilt = 0.0, double slouchAngle = 90.0) {
        clock.advance(SittingTracker::tickInterval);
        if (!see(headTilt, shoulderTilt, slouchAngle)) {
            return false;
        }
        tracker->tick();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return true;
    }
    // 4 s on, the camera sees a body with these angles in one frame and publishes them.
    bool see(double headTilt, double shoulderTilt = 0.0, double slouchAngle = 90.0) {
        using namespace std::chrono_literals;
        camera.advanceFrameClock(4s);
        clock.advance(4s);
        camera.scene.setBody(bodyWith(headTilt, shoulderTilt, slouchAngle));
        PostureCamera& posture = tracker->postureCamera();
        const QDateTime before =
            posture.latestSnapshot() ? posture.latestSnapshot()->timestamp : QDateTime();
        camera.deliver(1);
        return waitUntil([&] {
            return posture.latestSnapshot() && posture.latestSnapshot()->timestamp != before;
        });
    }
    // Tracker ticks 30 s apart; the analyzer's verdict arrives on the next turn of the loop.
    void tick(int times = 1) {
        for (int i = 0; i < times; ++i) {
            clock.advance(SittingTracker::tickInterval);
            tracker->tick();
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
        }
    }
};
