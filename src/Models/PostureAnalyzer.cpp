#include "Models/PostureAnalyzer.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "Data/PostureMessages.h"
#include "Models/PostureCamera.h"
#include "Models/PostureGeometry.h"
#include "Platform/Clock.h"
#include "Platform/IdleSource.h"
#include "Platform/Notifier.h"

using std::chrono::milliseconds;
using std::chrono::seconds;

namespace {

PostureSeverity severityOf(double deviation) {
    if (deviation >= PostureAnalyzer::severeThreshold) {
        return PostureSeverity::severe;
    }
    if (deviation >= PostureAnalyzer::moderateThreshold) {
        return PostureSeverity::moderate;
    }
    return PostureSeverity::mild;
}

// How far back a deviation must have lasted; none: every buffered snapshot counts.
std::optional<milliseconds> sustainWindow(PostureSeverity severity) {
    switch (severity) {
        case PostureSeverity::mild:
            return std::nullopt;
        case PostureSeverity::moderate:
            return seconds{60};
        case PostureSeverity::severe:
            return seconds{30};
    }
    return std::nullopt;
}

// Time since the last posture notification that must pass; none: never allowed.
std::optional<milliseconds> cooldown(PostureSeverity severity) {
    switch (severity) {
        case PostureSeverity::mild:
            return std::nullopt;
        case PostureSeverity::moderate:
            return seconds{300};
        case PostureSeverity::severe:
            return seconds{180};
    }
    return std::nullopt;
}

}  // namespace

PostureAnalyzer::PostureAnalyzer(PostureCamera& camera, AnalyzerServices services, QObject* parent)
    : QObject(parent), camera_(camera), services_(services) {
    // Every measurement goes into the buffer as it arrives, not only the one current at a
    // tick: with one sample per 30-second tick the buffer would never hold the three recent
    // snapshots the sustained test needs, and no posture notification could ever be posted.
    connect(&camera_, &PostureCamera::latestSnapshotChanged, this, &PostureAnalyzer::bufferLatest);
}

void PostureAnalyzer::bufferLatest() {
    const std::optional<PostureSnapshot> snapshot = camera_.freshSnapshot();
    if (!snapshot) {
        return;
    }
    const milliseconds measuredAt = services_.clock.sinceBoot() - *camera_.snapshotAge();
    if (!buffer_.empty() && buffer_.back().measuredAt == measuredAt &&
        buffer_.back().snapshot == *snapshot) {
        return;
    }
    buffer_.push_back({*snapshot, measuredAt});
}

void PostureAnalyzer::dropOldSnapshots(milliseconds now) {
    std::erase_if(buffer_,
                  [now](const Buffered& entry) { return now - entry.measuredAt > bufferWindow; });
}

double PostureAnalyzer::deviation(PostureIssue issue, const PostureSnapshot& snapshot) const {
    // Tilts are directions: compared the short way round, so that 179° and −179° are 2° apart.
    switch (issue) {
        case PostureIssue::headTilt:
            return std::abs(PostureGeometry::angleDifferenceDegrees(camera_.baselineHeadTilt(),
                                                                    snapshot.headTiltDegrees));
        case PostureIssue::shoulderAlignment:
            return std::abs(PostureGeometry::angleDifferenceDegrees(camera_.baselineShoulderTilt(),
                                                                    snapshot.shoulderTiltDegrees));
        case PostureIssue::slouch:
            return std::abs(snapshot.slouchAngleDegrees - camera_.baselineSlouchAngle());
    }
    return 0.0;
}

void PostureAnalyzer::analyze() {
    // A measurement from long ago says nothing about the user now; nor does one from just
    // before another app took the camera for a call, which nobody judges posture in.
    const std::optional<PostureSnapshot> snapshot = camera_.freshSnapshot();
    if (!snapshot || camera_.isPausedForOtherApp()) {
        QMetaObject::invokeMethod(
            this, [this] { publishStatus(PostureStatus::unknown); }, Qt::QueuedConnection);
        return;
    }
    bufferLatest();
    dropOldSnapshots(services_.clock.sinceBoot());

    PostureIssue worst = PostureIssue::headTilt;
    double worstDeviation = deviation(worst, *snapshot);
    for (const PostureIssue issue : {PostureIssue::shoulderAlignment, PostureIssue::slouch}) {
        const double candidate = deviation(issue, *snapshot);
        if (candidate > worstDeviation) {
            worst = issue;
            worstDeviation = candidate;
        }
    }
    const PostureSeverity severity = severityOf(worstDeviation);

    if (worstDeviation < mildThreshold) {
        QMetaObject::invokeMethod(
            this,
            [this, worstDeviation] {
                publishVerdict(PostureStatus::good, std::nullopt, worstDeviation);
            },
            Qt::QueuedConnection);
        return;
    }
    const PostureStatus status =
        severity == PostureSeverity::mild ? PostureStatus::fair : PostureStatus::poor;
    QMetaObject::invokeMethod(
        this,
        [this, status, worst, worstDeviation] { publishVerdict(status, worst, worstDeviation); },
        Qt::QueuedConnection);

    if (severity != PostureSeverity::mild && isSustained(worst, severity) &&
        canSendNotification(severity)) {
        sendPostureNotification(worst, worstDeviation);
    }
}

bool PostureAnalyzer::isSustained(PostureIssue issue, PostureSeverity severity) const {
    const milliseconds now = services_.clock.sinceBoot();
    const std::optional<milliseconds> window = sustainWindow(severity);
    qsizetype recent = 0;
    qsizetype deviating = 0;
    for (const Buffered& entry : buffer_) {
        if (window && now - entry.measuredAt > *window) {
            continue;
        }
        ++recent;
        if (deviation(issue, entry.snapshot) >= moderateThreshold) {
            ++deviating;
        }
    }
    // deviating ÷ recent ≥ 0.7, in whole numbers so that 7 of 10 counts exactly.
    return recent >= 3 && deviating * 10 >= recent * 7;
}

bool PostureAnalyzer::canSendNotification(PostureSeverity severity) {
    const milliseconds now = services_.clock.sinceBoot();
    std::erase_if(notificationTimes_,
                  [now](milliseconds sent) { return now - sent > std::chrono::hours{1}; });
    if (std::ssize(notificationTimes_) >= maxNotificationsPerHour) {
        return false;
    }
    const std::optional<milliseconds> wait = cooldown(severity);
    if (!wait || (lastNotificationTime_ && now - *lastNotificationTime_ < *wait)) {
        return false;
    }
    // The desktop reports idleness since any input, not since the last key alone, so a moving
    // mouse also counts as busy. Without an idle source nobody is taken to be typing.
    const std::optional<milliseconds> idle = services_.idleSource.idleTime();
    return !idle || *idle >= typingPause;
}

void PostureAnalyzer::sendPostureNotification(PostureIssue issue, double /*deviation*/) {
    if (!services_.notifier.canPost()) {
        return;
    }
    services_.notifier.post(PostureMessages::pick(issue, services_.random));
    const milliseconds now = services_.clock.sinceBoot();
    lastNotificationTime_ = now;
    notificationTimes_.push_back(now);
}

void PostureAnalyzer::publishVerdict(PostureStatus status, std::optional<PostureIssue> issue,
                                     double deviation) {
    if (currentDeviation_ != deviation) {
        currentDeviation_ = deviation;
        emit currentDeviationChanged();
    }
    if (worstIssue_ != issue) {
        worstIssue_ = issue;
        emit worstIssueChanged();
    }
    publishStatus(status);
}

void PostureAnalyzer::publishStatus(PostureStatus status) {
    if (postureStatus_ != status) {
        postureStatus_ = status;
        emit postureStatusChanged();
    }
}
