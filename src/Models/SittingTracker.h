#pragma once

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

#include "Models/AppPage.h"
#include "Models/PostureAnalyzer.h"
#include "Models/PostureCamera.h"
#include "Models/RiskLevel.h"

class CameraBackend;
class Clock;
class IdleSource;
class Notifier;
class RandomSource;
class SettingsStore;

// What the tracker is built from. main hands it the real services; tests hand it fakes.
// Each must outlive the tracker.
struct TrackerServices {
    Clock& clock;
    IdleSource& idleSource;
    Notifier& notifier;
    SettingsStore& settings;
    RandomSource& random;
    CameraBackend& camera;
};

// The one live model: today's sitting and break time from input idleness, the day record,
// the user's settings, the sitting reminders and the page the window shows.
class SittingTracker : public QObject {
    Q_OBJECT
    Q_PROPERTY(AppPage currentPage READ currentPage WRITE setCurrentPage NOTIFY currentPageChanged)
    Q_PROPERTY(
        qint64 totalSittingMinutes READ totalSittingMinutes NOTIFY totalSittingMinutesChanged)
    Q_PROPERTY(qint64 breakMinutes READ breakMinutes NOTIFY breakMinutesChanged)
    Q_PROPERTY(qint64 exerciseMinutes READ exerciseMinutes NOTIFY exerciseMinutesChanged)
    Q_PROPERTY(RiskLevel riskLevel READ riskLevel NOTIFY riskLevelChanged)
    Q_PROPERTY(qint64 microBreaksTaken READ microBreaksTaken NOTIFY microBreaksTakenChanged)
    Q_PROPERTY(qint64 reminderInterval READ reminderInterval WRITE setReminderInterval NOTIFY
                   reminderIntervalChanged)
    Q_PROPERTY(bool showExerciseOffset READ showExerciseOffset WRITE setShowExerciseOffset NOTIFY
                   showExerciseOffsetChanged)
    Q_PROPERTY(bool postureTrackingEnabled READ postureTrackingEnabled WRITE
                   setPostureTrackingEnabled NOTIFY postureTrackingEnabledChanged)
    Q_PROPERTY(bool idleTimeAvailable READ idleTimeAvailable NOTIFY idleTimeAvailableChanged)

public:
    static constexpr std::chrono::seconds tickInterval{30};
    static constexpr double microBreakThreshold = 90.0;  // seconds of idleness
    static constexpr double fullBreakThreshold = 300.0;  // seconds of idleness
    static constexpr std::int64_t defaultReminderInterval = 30;

    explicit SittingTracker(TrackerServices services, QObject* parent = nullptr);
    ~SittingTracker() override;

    // The process's one tracker. main makes it from the real services; shared() reaches it
    // for as long as the returned owner keeps it.
    static std::unique_ptr<SittingTracker> createShared(TrackerServices services);
    static SittingTracker* shared();

    AppPage currentPage() const { return currentPage_; }
    void setCurrentPage(AppPage page);
    qint64 totalSittingMinutes() const { return totalSittingMinutes_; }
    qint64 breakMinutes() const { return breakMinutes_; }
    qint64 exerciseMinutes() const { return exerciseMinutes_; }
    RiskLevel riskLevel() const { return riskLevel_; }
    qint64 microBreaksTaken() const { return microBreaksTaken_; }
    qint64 reminderInterval() const { return reminderInterval_; }
    void setReminderInterval(qint64 minutes);
    bool showExerciseOffset() const { return showExerciseOffset_; }
    void setShowExerciseOffset(bool show);
    bool postureTrackingEnabled() const { return postureTrackingEnabled_; }
    void setPostureTrackingEnabled(bool enabled);
    // False when no idle source answered at the last tick: every tick then counts as active.
    bool idleTimeAvailable() const { return idleTimeAvailable_; }

    // Minutes of exercise today's sitting calls for: 30 at six hours, up to 75.
    qint64 exerciseOffsetNeeded() const;
    void logExercise(qint64 minutes);
    // A finished reset: bank the session and start a new one and a new reminder span.
    void resetSessionAfterBreak();

    const QTimer& tickTimer() const { return timer_; }

    PostureCamera& postureCamera() { return postureCamera_; }
    // Built on first use, by a tick or by the posture card, then kept.
    PostureAnalyzer& postureAnalyzer();

public slots:
    // Driven by the 30-second timer.
    void tick();
    // The machine is about to suspend; the next tick back-dates the break to now.
    void noteSleepStarting();

signals:
    void currentPageChanged();
    void totalSittingMinutesChanged();
    void breakMinutesChanged();
    void exerciseMinutesChanged();
    void riskLevelChanged();
    void microBreaksTakenChanged();
    void reminderIntervalChanged();
    void showExerciseOffsetChanged();
    void postureTrackingEnabledChanged();
    void idleTimeAvailableChanged();

private:
    void bankOpenSpans();
    QDateTime observeNow();
    void shiftOpenInstants(std::chrono::milliseconds shift);
    void accountForSleep(const QDateTime& now);
    double sampleIdleSeconds();
    void closeSession(const QDateTime& end);
    void openBreakAt(const QDateTime& start);
    void rememberTick(const QDateTime& now);

    void updatePublishedState(const QDateTime& now);
    void loadDailyData(const QDateTime& now);
    void saveDailyData(const QDateTime& now);
    void resetDailyIfNeeded(const QDateTime& now);
    std::optional<QDate> storedRecordDate() const;
    bool isSameDayRecord(std::optional<QDate> stored, QDate today) const;
    void sendReminder(qint64 minutes);

    template <typename T>
    void publish(T& field, T value, void (SittingTracker::*changed)());

    TrackerServices services_;
    // Posture step A: the camera is made with the tracker; the analyzer waits until first use.
    PostureCamera postureCamera_;
    std::unique_ptr<PostureAnalyzer> postureAnalyzer_;

    AppPage currentPage_ = AppPage::dashboard;
    qint64 totalSittingMinutes_ = 0;
    qint64 breakMinutes_ = 0;
    qint64 exerciseMinutes_ = 0;
    RiskLevel riskLevel_ = RiskLevel::low;
    qint64 microBreaksTaken_ = 0;
    qint64 reminderInterval_ = defaultReminderInterval;
    bool showExerciseOffset_ = false;
    bool postureTrackingEnabled_ = false;
    bool idleTimeAvailable_ = true;

    std::optional<QDateTime> sessionStart_;
    double bankedMs_ = 0;
    std::optional<QDateTime> breakStartTime_;
    double bankedBreakMs_ = 0;
    std::optional<QDateTime> reminderSessionStart_;
    QTimer timer_;

    // Readings of the last observation and the last tick, to tell a wall clock that was
    // set and a machine that slept from time really spent.
    QDateTime lastWall_;
    std::chrono::milliseconds lastBoot_{0};
    QDateTime lastTickWall_;
    std::chrono::milliseconds asleepAtLastTick_{0};
    std::optional<QDateTime> sleepStartedAt_;
};
