#pragma once

#include <QObject>

#include "Models/PostureAnalyzer.h"
#include "Models/PostureCamera.h"
#include "Models/SittingTracker.h"

// Redraw hooks: `redraw` runs, with `receiver` as its context, whenever the model announces
// any change of what it publishes.
namespace Observe {

template <typename Redraw>
void tracker(SittingTracker& tracker, QObject* receiver, Redraw redraw) {
    for (const auto signal :
         {&SittingTracker::totalSittingMinutesChanged, &SittingTracker::breakMinutesChanged,
          &SittingTracker::exerciseMinutesChanged, &SittingTracker::riskLevelChanged,
          &SittingTracker::microBreaksTakenChanged, &SittingTracker::reminderIntervalChanged,
          &SittingTracker::showExerciseOffsetChanged,
          &SittingTracker::postureTrackingEnabledChanged,
          &SittingTracker::idleTimeAvailableChanged}) {
        QObject::connect(&tracker, signal, receiver, redraw);
    }
}

template <typename Redraw>
void camera(PostureCamera& camera, QObject* receiver, Redraw redraw) {
    for (const auto signal :
         {&PostureCamera::isRunningChanged, &PostureCamera::cameraPermissionDeniedChanged,
          &PostureCamera::problemChanged, &PostureCamera::calibrationChanged}) {
        QObject::connect(&camera, signal, receiver, redraw);
    }
}

template <typename Redraw>
void analyzer(PostureAnalyzer& analyzer, QObject* receiver, Redraw redraw) {
    for (const auto signal :
         {&PostureAnalyzer::postureStatusChanged, &PostureAnalyzer::worstIssueChanged,
          &PostureAnalyzer::currentDeviationChanged}) {
        QObject::connect(&analyzer, signal, receiver, redraw);
    }
}

}  // namespace Observe
