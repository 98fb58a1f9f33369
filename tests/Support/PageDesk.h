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

    // The tracker starts, and its first tick publishes the day so far.
    SittingTracker& open() {
        launch();
        tick();
        return *tracker;
    }
    // The tracker started on `page`, and that page built over it as the window shows it.
    template <typename Page>
    std::unique_ptr<Page> openOn(AppPage page) {
        open();
        tracker->setCurrentPage(page);
        auto view = std::make_unique<Page>(*tracker, context);
        view->resize(360, 560);
        view->show();
        QCoreApplication::processEvents();
        return view;
    }
};
