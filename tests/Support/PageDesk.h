#pragma once

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QUrl>
#include <vector>

#include "Components/AccessibilityPreferences.h"
#include "Platform/AutostartEntry.h"
#include "Support/TrackerDesk.h"
#include "Views/PageContext.h"

// A desk for the pages: the tracker over fakes, motion held still, the studies a page asked
// to open kept instead of opened, and an autostart folder of its own that goes with the desk.
class PageDesk : public TrackerDesk {
public:
    PageDesk() { motion.setReduceMotion(true); }

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
};
