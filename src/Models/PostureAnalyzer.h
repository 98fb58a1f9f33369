#pragma once

#include <QObject>
#include <chrono>
#include <optional>
#include <vector>

#include "Models/PostureSnapshot.h"
#include "Models/PostureVerdict.h"

class Clock;
class IdleSource;
class Notifier;
class PostureCamera;
class RandomSource;

// What the analyzer is built from, besides the camera it judges.
struct AnalyzerServices {
    Clock& clock;
    IdleSource& idleSource;
    Notifier& notifier;
    RandomSource& random;
};

// Judges posture against the calibrated baseline once per tracker tick, and posts a posture
// notification when a deviation has lasted and the rate limits allow it.
class PostureAnalyzer : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::seconds bufferWindow{60};
    static constexpr int maxNotificationsPerHour = 3;
    static constexpr double mildThreshold = 10.0;
    static constexpr double moderateThreshold = 15.0;
    static constexpr double severeThreshold = 25.0;
    // Someone typing is mid-thought; a posture nudge waits until they pause this long.
    static constexpr std::chrono::seconds typingPause{5};

    PostureAnalyzer(PostureCamera& camera, AnalyzerServices services, QObject* parent = nullptr);

    PostureCamera& camera() const { return camera_; }
    PostureStatus postureStatus() const { return postureStatus_; }
    std::optional<PostureIssue> worstIssue() const { return worstIssue_; }
    double currentDeviation() const { return currentDeviation_; }

    // One analysis step. The verdict is published on the next turn of the event loop.
    void analyze();

signals:
    void postureStatusChanged();
    void worstIssueChanged();
    void currentDeviationChanged();

private:
    struct Buffered {
        PostureSnapshot snapshot;
        std::chrono::milliseconds measuredAt;  // boot clock
    };

    void bufferLatest();
    void dropOldSnapshots(std::chrono::milliseconds now);
    double deviation(PostureIssue issue, const PostureSnapshot& snapshot) const;
    bool isSustained(PostureIssue issue, PostureSeverity severity) const;
    bool canSendNotification(PostureSeverity severity);
    void sendPostureNotification(PostureIssue issue, double deviation);
    void publishVerdict(PostureStatus status, std::optional<PostureIssue> issue, double deviation);
    void publishStatus(PostureStatus status);

    PostureCamera& camera_;
    AnalyzerServices services_;
    std::vector<Buffered> buffer_;
    // Notification times on the boot clock, so that a wall clock set back cannot silence
    // posture notifications for hours.
    std::vector<std::chrono::milliseconds> notificationTimes_;
    std::optional<std::chrono::milliseconds> lastNotificationTime_;

    PostureStatus postureStatus_ = PostureStatus::unknown;
    std::optional<PostureIssue> worstIssue_;
    double currentDeviation_ = 0.0;
};
