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
#include "Models/CallWatch.h"
#include "Models/PostureAnalyzer.h"
#include "Models/PostureCamera.h"
#include "Models/RiskLevel.h"

class CameraBackend;
class CameraWatch;
class Clock;
class IdleSource;
class Notifier;
class RandomSource;
class SettingsStore;

// Today's accounting as it stands: what is banked, what is open, and up to when time has
// been counted. Read by the tests and the screens' diagnostics; never written from outside.
struct DayAccount {
    QDate recordDate;
    QDateTime dayStart;
    double bankedMs = 0;
    double bankedBreakMs = 0;
    std::optional<QDateTime> sessionStart;
    std::optional<QDateTime> breakStart;
    std::optional<QDateTime> countedUntil;
};

// What the tracker is built from. main hands it the real services; tests hand it fakes.
// Each must outlive the tracker.
struct TrackerServices {
    Clock& clock;
    IdleSource& idleSource;
    Notifier& notifier;
    SettingsStore& settings;
    RandomSource& random;
    CameraBackend& camera;
    CameraWatch& cameraWatch;
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
    // A source that stays silent this long is taken to be gone, not busy.
    static constexpr std::chrono::minutes idleSourceGiveUp{10};

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
    // False when no idle source has answered for ten minutes, or never did: every tick then
    // counts as active.
    bool idleTimeAvailable() const { return idleTimeAvailable_; }
    DayAccount account() const;

    // Minutes of exercise today's sitting calls for: 30 at six hours, up to 75.
    qint64 exerciseOffsetNeeded() const;
    void logExercise(qint64 minutes);
    // A finished reset: bank the session and start a new one and a new reminder span.
    void resetSessionAfterBreak();

    const QTimer& tickTimer() const { return timer_; }

    PostureCamera& postureCamera() { return postureCamera_; }
    // Whether another app holds the webcam: a call at the desk.
    const CallWatch& callWatch() const { return callWatch_; }
    // Built on first use, by a tick or by the posture card, then kept.
    PostureAnalyzer& postureAnalyzer();

public slots:
    // Driven by the 30-second timer.
    void tick();
    // The machine is about to suspend; the break after it is dated from now.
    void noteSleepStarting();
    // The machine woke: account for the sleep at once rather than at the next tick.
    void noteResumed();

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
    // A span of time went into the day record, as sitting or as break.
    void timeCounted(const QDateTime& from, const QDateTime& to);

private:
    // A day record put aside at launch, in case the clock that began the new day was wrong.
    struct SetAsideRecord {
        QDate date;
        double bankedMs = 0;
        double bankedBreakMs = 0;
        qint64 exercise = 0;
        qint64 microBreaks = 0;
        std::optional<QDateTime> countedUntil;
    };

    void bankOpenSpans();
    QDateTime catchUp();
    QDateTime observeNow();
    void followClockSet(const QDateTime& now, std::chrono::milliseconds shift);
    void shiftOpenInstants(std::chrono::milliseconds shift);
    std::optional<QDateTime> sleepSinceLastLook(const QDateTime& now);
    void bankSleep(const QDateTime& fellAsleep, const QDateTime& now);
    QDate dayOf(const QDateTime& wall) const;
    void reanchorDay(const QDateTime& now);
    void startNewDayIfDue(const QDateTime& now);
    void startNewDay(const QDateTime& now);
    void restoreSetAsideRecord(const QDateTime& now);
    std::optional<double> sampleIdleSeconds();
    double idleOutsideCalls(double idle) const;
    void followCall();
    void accountForIdle(const QDateTime& now, double idle);
    void closeSession(const QDateTime& end);
    void closeBreak(const QDateTime& end);
    void openBreakAt(const QDateTime& start);
    QDateTime countingFloor() const;
    void countUpTo(const QDateTime& from, const QDateTime& to);

    double sittingMs(const QDateTime& now) const;
    double breakMs(const QDateTime& now) const;
    double countedMs(const QDateTime& now) const;
    void updatePublishedState(const QDateTime& now);
    void loadDailyData(const QDateTime& now);
    std::optional<QDateTime> storedInstant(const QString& key, qint64 shiftMs,
                                           const QDateTime& now) const;
    void saveDailyData();
    void zeroDayCounters();
    std::optional<QDate> storedRecordDate() const;
    void sendReminder(qint64 minutes);

    template <typename T>
    void publish(T& field, T value, void (SittingTracker::*changed)());

    TrackerServices services_;
    // Posture step A: the camera is made with the tracker; the analyzer waits until first use.
    PostureCamera postureCamera_;
    std::unique_ptr<PostureAnalyzer> postureAnalyzer_;
    CallWatch callWatch_;
    bool ticking_ = false;

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

    // The date the counters belong to, and the instant up to which time has been counted:
    // nothing is opened or back-dated before it, so no instant is counted twice.
    QDate recordDate_;
    QDateTime dayStart_;
    std::optional<QDateTime> countedUntil_;
    // Where the break open at the last save began, kept after exit: an absence that goes on
    // across a restart is one break, counted once.
    std::optional<QDateTime> lastBreakStart_;
    std::optional<SetAsideRecord> setAside_;
    // Until this awake time a clock set is taken as time sync correcting the clock the app
    // was launched with.
    std::chrono::milliseconds launchCorrectionUntil_{0};

    // Readings of the last observation, to tell a wall clock that was set and a machine
    // that slept from time really spent.
    QDateTime lastWall_;
    std::chrono::milliseconds lastBoot_{0};
    QDateTime lastLookWall_;
    std::chrono::milliseconds asleepAtLastLook_{0};
    std::optional<QDateTime> sleepStartedAt_;
    // How far the wall clock was set since the day's anchor: days follow the clock as it
    // ran, so setting it moves no day.
    std::chrono::milliseconds clockSetSinceAnchor_{0};
    QDate lastLookDay_;
    // Awake time of the idle source's last answer; absent until it first answers.
    std::optional<std::chrono::milliseconds> lastIdleAnswer_;
};
