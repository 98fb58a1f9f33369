#pragma once

#include <memory>

#include "Models/SittingTracker.h"
#include "Support/FakeCamera.h"
#include "Support/FakeCameraWatch.h"
#include "Support/FakeClock.h"
#include "Support/FakeIdleSource.h"
#include "Support/FakeNotifier.h"
#include "Support/FakeRandomSource.h"
#include "Support/MemorySettingsStore.h"

// A desk over simulated time: a fake for every service the tracker is built from.
class TrackerDesk {
public:
    explicit TrackerDesk(QDateTime start) : clock(std::move(start)) {}

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
};
