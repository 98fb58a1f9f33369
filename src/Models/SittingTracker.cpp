#include "Models/SittingTracker.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "Data/ScienceNudges.h"
#include "Platform/Clock.h"
#include "Platform/IdleSource.h"
#include "Platform/Notifier.h"
#include "Platform/SettingsStore.h"

using namespace Qt::StringLiterals;
using std::chrono::milliseconds;

namespace {

const QString kReminderInterval = u"reminderInterval"_s;
const QString kShowExerciseOffset = u"showExerciseOffset"_s;
const QString kPostureTrackingEnabled = u"postureTrackingEnabled"_s;
const QString kLastDate = u"lastDate"_s;
const QString kBankedMs = u"bankedMs"_s;
const QString kBankedBreakMs = u"bankedBreakMs"_s;
const QString kExerciseToday = u"exerciseToday"_s;
const QString kMicroBreaksToday = u"microBreaksToday"_s;
const QString kDateFormat = u"yyyy-MM-dd"_s;

// A wall clock that drifts from the boot clock by more than this was set, not slow.
constexpr milliseconds kClockSetTolerance{2000};
// A suspend shorter than a micro break is not a break.
constexpr milliseconds kShortestSleepBreak{90'000};

SittingTracker* sharedTracker = nullptr;

// Never a negative duration, whatever the clock did between the two instants.
double elapsedMs(const QDateTime& from, const QDateTime& to) {
    return static_cast<double>(std::max<qint64>(0, from.msecsTo(to)));
}

QDateTime backDated(const QDateTime& now, double idleSeconds) {
    return now.addMSecs(-static_cast<qint64>(std::llround(idleSeconds * 1000.0)));
}

qint64 wholeMinutes(double ms) {
    return std::isfinite(ms) ? static_cast<qint64>(std::trunc(ms / 60000.0)) : 0;
}

// A banked duration from the store: damaged or negative values start from nothing.
double storedDuration(const SettingsStore& settings, const QString& key) {
    const double value = settings.real(key).value_or(0.0);
    return std::isfinite(value) && value > 0 ? value : 0.0;
}

qint64 storedCount(const SettingsStore& settings, const QString& key) {
    return std::max<qint64>(0, settings.integer(key).value_or(0));
}

}  // namespace

SittingTracker::SittingTracker(TrackerServices services, QObject* parent)
    : QObject(parent),
      services_(services),
      postureCamera_(services.clock, services.settings, services.camera) {
    const auto interval = services_.settings.integer(kReminderInterval);
    reminderInterval_ = interval && *interval >= 1 ? *interval : defaultReminderInterval;
    showExerciseOffset_ = services_.settings.boolean(kShowExerciseOffset).value_or(false);
    postureTrackingEnabled_ = services_.settings.boolean(kPostureTrackingEnabled).value_or(false);

    lastWall_ = services_.clock.now();
    lastBoot_ = services_.clock.sinceBoot();
    loadDailyData(lastWall_);

    postureCamera_.loadCalibration();  // posture step B

    sessionStart_ = lastWall_;
    reminderSessionStart_ = lastWall_;
    rememberTick(lastWall_);

    timer_.setTimerType(Qt::VeryCoarseTimer);
    timer_.setInterval(tickInterval);
    connect(&timer_, &QTimer::timeout, this, &SittingTracker::tick);
    timer_.start();

    if (postureTrackingEnabled_) {  // posture step C
        postureCamera_.start();
    }
}

SittingTracker::~SittingTracker() {
    bankOpenSpans();
    if (sharedTracker == this) {
        sharedTracker = nullptr;
    }
}

std::unique_ptr<SittingTracker> SittingTracker::createShared(TrackerServices services) {
    auto tracker = std::make_unique<SittingTracker>(services);
    sharedTracker = tracker.get();
    return tracker;
}

SittingTracker* SittingTracker::shared() {
    return sharedTracker;
}

PostureAnalyzer& SittingTracker::postureAnalyzer() {
    if (!postureAnalyzer_) {
        postureAnalyzer_ = std::make_unique<PostureAnalyzer>(
            postureCamera_, AnalyzerServices{services_.clock, services_.idleSource,
                                             services_.notifier, services_.random});
    }
    return *postureAnalyzer_;
}

template <typename T>
void SittingTracker::publish(T& field, T value, void (SittingTracker::*changed)()) {
    if (field == value) {
        return;
    }
    field = value;
    emit(this->*changed)();
}

void SittingTracker::setCurrentPage(AppPage page) {
    publish(currentPage_, page, &SittingTracker::currentPageChanged);
}

void SittingTracker::setReminderInterval(qint64 minutes) {
    // An interval under a minute would post a reminder at every tick.
    if (minutes < 1) {
        return;
    }
    publish(reminderInterval_, minutes, &SittingTracker::reminderIntervalChanged);
    services_.settings.setInteger(kReminderInterval, minutes);
    services_.settings.commit();
}

void SittingTracker::setShowExerciseOffset(bool show) {
    publish(showExerciseOffset_, show, &SittingTracker::showExerciseOffsetChanged);
    services_.settings.setBoolean(kShowExerciseOffset, show);
    services_.settings.commit();
}

void SittingTracker::setPostureTrackingEnabled(bool enabled) {
    publish(postureTrackingEnabled_, enabled, &SittingTracker::postureTrackingEnabledChanged);
    services_.settings.setBoolean(kPostureTrackingEnabled, enabled);
    services_.settings.commit();
    // On every assignment, also one that changes nothing: start() ignores a running camera.
    if (enabled) {
        postureCamera_.start();
    } else {
        postureCamera_.stop();
    }
}

qint64 SittingTracker::exerciseOffsetNeeded() const {
    if (totalSittingMinutes_ < RiskLevels::mediumFromMinutes) {
        return 0;
    }
    const double extra =
        static_cast<double>(totalSittingMinutes_ - RiskLevels::mediumFromMinutes) / 240.0 * 45.0;
    return std::min<qint64>(static_cast<qint64>(std::trunc(extra)) + 30, 75);
}

void SittingTracker::logExercise(qint64 minutes) {
    const QDateTime now = observeNow();
    publish(exerciseMinutes_, exerciseMinutes_ + std::max<qint64>(0, minutes),
            &SittingTracker::exerciseMinutesChanged);
    saveDailyData(now);
}

void SittingTracker::resetSessionAfterBreak() {
    const QDateTime now = observeNow();
    if (sessionStart_) {
        bankedMs_ += elapsedMs(*sessionStart_, now);
    }
    sessionStart_ = now;
    reminderSessionStart_ = now;
    saveDailyData(now);
    updatePublishedState(now);
}

void SittingTracker::bankOpenSpans() {
    // What is open at exit would be lost to a restart later today: bank it now, less the
    // idleness that was already on its way to becoming a break.
    const QDateTime now = observeNow();
    if (sessionStart_) {
        const double idle = sampleIdleSeconds();
        closeSession(idle >= microBreakThreshold ? backDated(now, idle) : now);
    }
    if (breakStartTime_) {
        bankedBreakMs_ += elapsedMs(*breakStartTime_, now);
        breakStartTime_.reset();
    }
    saveDailyData(now);
}

void SittingTracker::noteSleepStarting() {
    sleepStartedAt_ = observeNow();
}

void SittingTracker::tick() {
    const QDateTime now = observeNow();
    resetDailyIfNeeded(now);
    accountForSleep(now);

    const double idle = sampleIdleSeconds();
    const QDateTime inputStopped = backDated(now, idle);
    if (idle >= fullBreakThreshold) {
        if (sessionStart_) {
            closeSession(inputStopped);
            reminderSessionStart_.reset();
            openBreakAt(inputStopped);
            saveDailyData(now);
        }
    } else if (idle >= microBreakThreshold) {
        if (sessionStart_) {
            closeSession(inputStopped);
            publish(microBreaksTaken_, microBreaksTaken_ + 1,
                    &SittingTracker::microBreaksTakenChanged);
            openBreakAt(inputStopped);
            saveDailyData(now);
        }
    } else {
        if (breakStartTime_) {
            bankedBreakMs_ += elapsedMs(*breakStartTime_, now);
            breakStartTime_.reset();
            saveDailyData(now);
        }
        if (!sessionStart_) {
            sessionStart_ = now;
        }
        if (!reminderSessionStart_) {
            reminderSessionStart_ = now;
        }
        const double minutes = elapsedMs(*reminderSessionStart_, now) / 60000.0;
        if (minutes >= static_cast<double>(reminderInterval_)) {
            sendReminder(static_cast<qint64>(std::trunc(minutes)));
            bankedMs_ += elapsedMs(*sessionStart_, now);
            sessionStart_ = now;
            reminderSessionStart_ = now;
            saveDailyData(now);
        }
    }

    updatePublishedState(now);
    if (postureTrackingEnabled_) {
        postureAnalyzer().analyze();
    }
    rememberTick(now);
}

QDateTime SittingTracker::observeNow() {
    const QDateTime now = services_.clock.now();
    const milliseconds boot = services_.clock.sinceBoot();
    // The boot clock runs on through suspend and is never set, so a wall clock that moved
    // by a different amount was set (time sync, by hand). Moving the open instants with it
    // keeps every open span as long as it really is: nothing goes negative, no total drops.
    const milliseconds wallMoved{lastWall_.msecsTo(now)};
    const milliseconds shift = wallMoved - (boot - lastBoot_);
    if (shift > kClockSetTolerance || shift < -kClockSetTolerance) {
        shiftOpenInstants(shift);
    }
    lastWall_ = now;
    lastBoot_ = boot;
    return now;
}

void SittingTracker::shiftOpenInstants(milliseconds shift) {
    for (auto* instant :
         {&sessionStart_, &breakStartTime_, &reminderSessionStart_, &sleepStartedAt_}) {
        if (*instant) {
            **instant = (*instant)->addMSecs(shift.count());
        }
    }
    lastTickWall_ = lastTickWall_.addMSecs(shift.count());
}

void SittingTracker::accountForSleep(const QDateTime& now) {
    const milliseconds asleep = services_.clock.sinceBoot() - services_.clock.awakeSinceBoot();
    const milliseconds slept = asleep - asleepAtLastTick_;
    std::optional<QDateTime> hint = std::exchange(sleepStartedAt_, std::nullopt);
    if (slept < kShortestSleepBreak) {
        return;
    }
    // The key press that wakes the machine may reset the idle counter, so idleness cannot
    // be trusted to cover a sleep. Without word from logind the sleep is only known to
    // have begun after the last tick; taking the earliest moment counts no sleep as sitting.
    QDateTime fellAsleep = lastTickWall_;
    if (hint && *hint >= lastTickWall_ && *hint <= now) {
        fellAsleep = *hint;
    }
    if (sessionStart_) {
        closeSession(fellAsleep);
    }
    reminderSessionStart_.reset();
    openBreakAt(fellAsleep);
    saveDailyData(now);
}

double SittingTracker::sampleIdleSeconds() {
    const auto idle = services_.idleSource.idleTime();
    publish(idleTimeAvailable_, idle.has_value(), &SittingTracker::idleTimeAvailableChanged);
    return idle ? static_cast<double>(std::max<qint64>(0, idle->count())) / 1000.0 : 0.0;
}

void SittingTracker::closeSession(const QDateTime& end) {
    bankedMs_ += elapsedMs(*sessionStart_, end);
    sessionStart_.reset();
}

void SittingTracker::openBreakAt(const QDateTime& start) {
    if (!breakStartTime_) {
        breakStartTime_ = start;
    }
}

void SittingTracker::rememberTick(const QDateTime& now) {
    lastTickWall_ = now;
    asleepAtLastTick_ = services_.clock.sinceBoot() - services_.clock.awakeSinceBoot();
}

void SittingTracker::updatePublishedState(const QDateTime& now) {
    const double sittingMs = bankedMs_ + (sessionStart_ ? elapsedMs(*sessionStart_, now) : 0.0);
    const double breakMs =
        bankedBreakMs_ + (breakStartTime_ ? elapsedMs(*breakStartTime_, now) : 0.0);
    const qint64 sitting = wholeMinutes(sittingMs);
    publish(totalSittingMinutes_, sitting, &SittingTracker::totalSittingMinutesChanged);
    publish(breakMinutes_, wholeMinutes(breakMs), &SittingTracker::breakMinutesChanged);
    publish(riskLevel_, RiskLevels::forSittingMinutes(sitting), &SittingTracker::riskLevelChanged);
}

void SittingTracker::loadDailyData(const QDateTime& now) {
    if (!isSameDayRecord(storedRecordDate(), now.date())) {
        bankedMs_ = 0;
        bankedBreakMs_ = 0;
        publish(exerciseMinutes_, qint64{0}, &SittingTracker::exerciseMinutesChanged);
        publish(microBreaksTaken_, qint64{0}, &SittingTracker::microBreaksTakenChanged);
        saveDailyData(now);
        return;
    }
    bankedMs_ = storedDuration(services_.settings, kBankedMs);
    bankedBreakMs_ = storedDuration(services_.settings, kBankedBreakMs);
    publish(exerciseMinutes_, storedCount(services_.settings, kExerciseToday),
            &SittingTracker::exerciseMinutesChanged);
    publish(microBreaksTaken_, storedCount(services_.settings, kMicroBreaksToday),
            &SittingTracker::microBreaksTakenChanged);
}

void SittingTracker::saveDailyData(const QDateTime& now) {
    // A clock set back over midnight keeps the record on the later day it belongs to.
    QDate recordDate = now.date();
    if (const auto stored = storedRecordDate(); stored && isSameDayRecord(stored, recordDate)) {
        recordDate = std::max(recordDate, *stored);
    }
    SettingsStore& settings = services_.settings;
    settings.setString(kLastDate, recordDate.toString(kDateFormat));
    settings.setReal(kBankedMs, bankedMs_);
    settings.setReal(kBankedBreakMs, bankedBreakMs_);
    settings.setInteger(kExerciseToday, exerciseMinutes_);
    settings.setInteger(kMicroBreaksToday, microBreaksTaken_);
    settings.commit();
}

void SittingTracker::resetDailyIfNeeded(const QDateTime& now) {
    if (isSameDayRecord(storedRecordDate(), now.date())) {
        return;
    }
    bankedMs_ = 0;
    bankedBreakMs_ = 0;
    publish(exerciseMinutes_, qint64{0}, &SittingTracker::exerciseMinutesChanged);
    publish(breakMinutes_, qint64{0}, &SittingTracker::breakMinutesChanged);
    publish(microBreaksTaken_, qint64{0}, &SittingTracker::microBreaksTakenChanged);
    saveDailyData(now);
}

std::optional<QDate> SittingTracker::storedRecordDate() const {
    const auto text = services_.settings.string(kLastDate);
    if (!text) {
        return std::nullopt;
    }
    const QDate date = QDate::fromString(*text, kDateFormat);
    return date.isValid() ? std::optional(date) : std::nullopt;
}

bool SittingTracker::isSameDayRecord(std::optional<QDate> stored, QDate today) const {
    // A record dated one day ahead is today's after the clock was set back over midnight;
    // one further ahead came from a clock that was wrong and must not hold off new days.
    return stored && (*stored == today || stored->addDays(-1) == today);
}

void SittingTracker::sendReminder(qint64 minutes) {
    if (!services_.notifier.canPost()) {
        return;
    }
    services_.notifier.post(ScienceNudges::reminder(minutes, services_.random));
}
