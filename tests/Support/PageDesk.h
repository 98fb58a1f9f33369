#pragma once

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QUrl>
#include <chrono>
#include <vector>

#include "Components/AccessibilityPreferences.h"
#include "Platform/AutostartEntry.h"
#include "Support/PostureBodies.h"
#include "Support/TrackerDesk.h"
#include "Views/PageContext.h"

// A desk for the pages: the tracker over fakes, motion held still, the studies a page asked
// to open kept instead of opened, and an autostart folder of its own that goes with the desk.
class PageDesk : public TrackerDesk {
public:
    PageDesk() : TrackerDesk(QDateTime(QDate(2026, 3, 10), QTime(9, 0))) {
        motion.setReduceMotion(true);
    }

    AccessibilityPreferences motion;
    std::vector<QUrl> opened;
    QTemporaryDir config;
    AutostartEntry autostart{config.filePath(QStringLiteral("autostart")),
                             QStringLiteral("/usr/bin/spindrel")};
    PageContext context{motion, [this](const QUrl& url) { opened.push_back(url); }, random,
                        autostart};

    // Today's record already holds this much sitting and break time when the tracker starts.
    void storeToday(double sittingMinutes, double breakMinutes = 0) {
        settings.setString(QStringLiteral("lastDate"),
                           clock.now().date().toString(QStringLiteral("yyyy-MM-dd")));
        settings.setReal(QStringLiteral("bankedMs"), sittingMinutes * 60'000.0);
        settings.setReal(QStringLiteral("bankedBreakMs"), breakMinutes * 60'000.0);
    }
    // A baseline is kept from an earlier day: upright, level, a neck at 90°.
    void storeCalibration() {
        settings.setBoolean(QStringLiteral("postureCalibrated"), true);
        settings.setReal(QStringLiteral("baselineHeadTilt"), 0.0);
        settings.setReal(QStringLiteral("baselineShoulderTilt"), 0.0);
        settings.setReal(QStringLiteral("baselineSlouchAngle"), 90.0);
    }

    // The tracker starts, and its first tick publishes the day so far.
    SittingTracker& open() {
        launch();
        tick();
        return *tracker;
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
    // One tracker tick 30 s on; the analyzer's verdict arrives on the next turn of the loop.
    void tick() {
        clock.advance(SittingTracker::tickInterval);
        tracker->tick();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
};
