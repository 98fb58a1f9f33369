#include "Models/SittingTracker.h"

#include <QScopedValueRollback>
#include <algorithm>
#include <cmath>
#include <utility>

#include "Data/ScienceNudges.h"
#include "Platform/CameraWatch.h"
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
// Milliseconds since the epoch up to which today's time has been counted.
const QString kCountedUntil = u"countedUntil"_s;
// Milliseconds since the epoch when the last break began, 0 for none.
const QString kLastBreakStart = u"lastBreakStart"_s;
// The boot the stored instants were taken in, and its wall clock less its boot clock then,
// for the instants and for the day's own clock: a clock set while Spindrel was not running
// is then known at the next launch in the same boot.
const QString kBootId = u"bootId"_s;
const QString kClockOffset = u"clockOffset"_s;
const QString kDayClockOffset = u"dayClockOffset"_s;
// Milliseconds since the epoch when the record's day began.
const QString kDayStart = u"dayStart"_s;
const QString kDateFormat = u"yyyy-MM-dd"_s;

// A wall clock that drifts from the boot clock by more than this was set, not slow.
constexpr milliseconds kClockSetTolerance{2000};
// A suspend shorter than a micro break is not a break.
constexpr milliseconds kShortestSleepBreak{90'000};
// Time sync corrects a wrong clock within minutes of start-up; a day record put aside at
// launch is given back only within this time.
constexpr milliseconds kClockCorrectionWindow{10 * 60'000};
// What one day can hold, a day that ends summer time included; a stored value beyond it is
// damage, not a day.
constexpr milliseconds kLongestDay{25 * 3600'000};
constexpr milliseconds kShortestDay{23 * 3600'000};
constexpr milliseconds kOneDay{24 * 3600'000};
constexpr double kLongestDayMs = static_cast<double>(kLongestDay.count());
constexpr qint64 kMostCount = 100'000;

SittingTracker* sharedTracker = nullptr;

// Never a negative duration, whatever the clock did between the two instants.
double elapsedMs(const QDateTime& from, const QDateTime& to) {
    return static_cast<double>(std::max<qint64>(0, from.msecsTo(to)));
}

// Instants are kept in UTC: their arithmetic is then plain, where a local time would go
// through the time zone rules (mktime) on every comparison and difference, tick after tick.
QDateTime instant(const QDateTime& wall) {
    return wall.toUTC();
}

// The calendar day the user sees at that instant.
QDate localDay(const QDateTime& wall) {
    return wall.toLocalTime().date();
}

QDateTime backDated(const QDateTime& now, double idleSeconds) {
    return now.addMSecs(-static_cast<qint64>(std::llround(idleSeconds * 1000.0)));
}

std::optional<double> inSeconds(std::optional<milliseconds> idle) {
    if (!idle) {
        return std::nullopt;
    }
    return static_cast<double>(std::max<qint64>(0, idle->count())) / 1000.0;
}

qint64 wholeMinutes(double ms) {
    // Saturate rather than overflow on any value a damaged record could hold.
    constexpr double most = 1e15;
    return std::isfinite(ms)
               ? static_cast<qint64>(std::trunc(std::clamp(ms, -most, most) / 60000.0))
               : 0;
}

// A banked duration from the store: damaged, negative or impossible values start from
// nothing.
double storedDuration(const SettingsStore& settings, const QString& key) {
    const double value = settings.real(key).value_or(0.0);
    return std::isfinite(value) && value > 0 && value <= kLongestDayMs ? value : 0.0;
}

qint64 storedCount(const SettingsStore& settings, const QString& key) {
    const qint64 value = settings.integer(key).value_or(0);
    return value >= 0 && value <= kMostCount ? value : 0;
}

}  // namespace

SittingTracker::SittingTracker(TrackerServices services, QObject* parent)
    : QObject(parent),
      services_(services),
      postureCamera_(services.clock, services.settings, services.camera),
      callWatch_(services.cameraWatch, services.clock) {
    const auto interval = services_.settings.integer(kReminderInterval);
    reminderInterval_ = interval && *interval >= 1 ? *interval : defaultReminderInterval;
    showExerciseOffset_ = services_.settings.boolean(kShowExerciseOffset).value_or(false);
    postureTrackingEnabled_ = services_.settings.boolean(kPostureTrackingEnabled).value_or(false);

    lastWall_ = instant(services_.clock.now());
    lastBoot_ = services_.clock.sinceBoot();
    lastLookWall_ = lastWall_;
    lastLookDay_ = localDay(lastWall_);
    asleepAtLastLook_ = services_.clock.sinceBoot() - services_.clock.awakeSinceBoot();
    loadDailyData(lastWall_);

    postureCamera_.loadCalibration();  // posture step B

    sessionStart_ = lastWall_;
    reminderSessionStart_ = lastWall_;

    // A coarse timer may fire up to half a second early, and a tick that comes 59.6 s into a
    // minute's reminder interval would put the reminder off by a whole tick. Once every 30 s,
    // a precise timer costs no more wake-ups.
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(tickInterval);
    connect(&timer_, &QTimer::timeout, this, &SittingTracker::tick);
    timer_.start();

    // Another app may hold the webcam already: the camera waits for it from the start.
    postureCamera_.setPausedForOtherApp(callWatch_.onCall());
    connect(&callWatch_, &CallWatch::onCallChanged, this, &SittingTracker::followCall);
    connect(&services_.cameraWatch, &CameraWatch::devicesChanged, &postureCamera_,
            &PostureCamera::videoDevicesChanged);

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

DayAccount SittingTracker::account() const {
    return DayAccount{recordDate_,   dayStart_,       bankedMs_,    bankedBreakMs_,
                      sessionStart_, breakStartTime_, countedUntil_};
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
    catchUp();
    publish(reminderInterval_, minutes, &SittingTracker::reminderIntervalChanged);
    services_.settings.setInteger(kReminderInterval, minutes);
    services_.settings.commit();
}

void SittingTracker::setShowExerciseOffset(bool show) {
    catchUp();
    publish(showExerciseOffset_, show, &SittingTracker::showExerciseOffsetChanged);
    services_.settings.setBoolean(kShowExerciseOffset, show);
    services_.settings.commit();
}

void SittingTracker::setPostureTrackingEnabled(bool enabled) {
    catchUp();
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
    catchUp();
    const qint64 added = std::clamp<qint64>(minutes, 0, kMostCount - exerciseMinutes_);
    publish(exerciseMinutes_, exerciseMinutes_ + added, &SittingTracker::exerciseMinutesChanged);
    saveDailyData();
}

void SittingTracker::resetSessionAfterBreak() {
    const QDateTime now = catchUp();
    if (sessionStart_) {
        closeSession(now);
    }
    // Finishing a routine is input: an open break ends here, so the new session and the
    // break never count the same minutes.
    if (breakStartTime_) {
        closeBreak(now);
    }
    sessionStart_ = now;
    reminderSessionStart_ = now;
    saveDailyData();
    updatePublishedState(now);
}

void SittingTracker::bankOpenSpans() {
    // What is open at exit would be lost to a restart later today: bank it now, less the
    // idleness that was already on its way to becoming a break.
    const QDateTime now = catchUp();
    if (sessionStart_) {
        const double idle =
            idleOutsideCalls(inSeconds(services_.idleSource.idleTime()).value_or(0.0));
        closeSession(idle >= microBreakThreshold ? backDated(now, idle) : now);
    }
    if (breakStartTime_) {
        closeBreak(now);
    }
    saveDailyData();
}

void SittingTracker::noteSleepStarting() {
    sleepStartedAt_ = observeNow();
}

void SittingTracker::noteResumed() {
    tick();
}

void SittingTracker::tick() {
    const QScopedValueRollback ticking(ticking_, true);
    const QDateTime now = catchUp();
    callWatch_.recheck();
    // An unanswered sample says nothing about the user: the accounting waits for the next
    // answer, which still back-dates an absence that went on meanwhile.
    if (const auto idle = sampleIdleSeconds()) {
        accountForIdle(now, idleOutsideCalls(*idle));
    }
    updatePublishedState(now);
    if (postureTrackingEnabled_) {
        postureAnalyzer().analyze();
    }
}

double SittingTracker::idleOutsideCalls(double idle) const {
    // On a call the user sits at the desk without touching keyboard or mouse: that is no
    // absence. Afterwards idleness counts only from when the other app let go of the webcam.
    if (callWatch_.onCall()) {
        return 0.0;
    }
    if (const std::optional<milliseconds> since = callWatch_.sinceReleased()) {
        return std::min(idle, static_cast<double>(since->count()) / 1000.0);
    }
    return idle;
}

void SittingTracker::followCall() {
    postureCamera_.setPausedForOtherApp(callWatch_.onCall());
    // The call is over: whatever fell due during it goes out now, not at the next tick.
    if (!callWatch_.onCall() && !ticking_) {
        tick();
    }
}

void SittingTracker::accountForIdle(const QDateTime& now, double idle) {
    const QDateTime inputStopped = backDated(now, idle);
    if (idle >= fullBreakThreshold) {
        if (sessionStart_) {
            closeSession(inputStopped);
            reminderSessionStart_.reset();
            openBreakAt(inputStopped);
            saveDailyData();
        }
    } else if (idle >= microBreakThreshold) {
        if (sessionStart_) {
            closeSession(inputStopped);
            // After a restart the absence may be the one whose break the last run counted.
            const bool seenBefore =
                lastBreakStart_ && inputStopped <= lastBreakStart_->addMSecs(1000);
            if (!seenBefore) {
                publish(microBreaksTaken_, microBreaksTaken_ + 1,
                        &SittingTracker::microBreaksTakenChanged);
            }
            openBreakAt(inputStopped);
            saveDailyData();
        }
    } else {
        if (breakStartTime_) {
            closeBreak(now);
            saveDailyData();
        }
        if (!sessionStart_) {
            sessionStart_ = now;
        }
        if (!reminderSessionStart_) {
            reminderSessionStart_ = now;
        }
        // A reminder that falls due during a call waits for its end, with the span left
        // running: it then goes out once, with the minutes really sat.
        const double minutes = elapsedMs(*reminderSessionStart_, now) / 60000.0;
        if (minutes >= static_cast<double>(reminderInterval_) && !callWatch_.onCall()) {
            sendReminder(static_cast<qint64>(std::trunc(minutes)));
            closeSession(now);
            sessionStart_ = now;
            reminderSessionStart_ = now;
            saveDailyData();
        }
    }
}

QDateTime SittingTracker::catchUp() {
    // Whatever acts on the record first sees the present: a sleep or a new day that came
    // since the last look is accounted for before anything else is counted or saved.
    const QDateTime now = observeNow();
    const std::optional<QDateTime> fellAsleep = sleepSinceLastLook(now);
    if (fellAsleep) {
        // A sleep that began after midnight began in the new day: that day starts first, so
        // that the minutes after midnight are its own. One before midnight closes the old day.
        if (dayOf(*fellAsleep) > lastLookDay_) {
            startNewDayIfDue(now);
        }
        bankSleep(*fellAsleep, now);
    }
    startNewDayIfDue(now);
    lastLookWall_ = now;
    asleepAtLastLook_ = services_.clock.sinceBoot() - services_.clock.awakeSinceBoot();
    if (setAside_ && services_.clock.awakeSinceBoot() > launchCorrectionUntil_) {
        setAside_.reset();
    }
    return now;
}

QDateTime SittingTracker::observeNow() {
    const QDateTime now = instant(services_.clock.now());
    const milliseconds boot = services_.clock.sinceBoot();
    // The boot clock runs on through suspend and is never set, so a wall clock that moved
    // by a different amount was set (time sync, by hand).
    const milliseconds wallMoved{lastWall_.msecsTo(now)};
    const milliseconds shift = wallMoved - (boot - lastBoot_);
    lastWall_ = now;
    lastBoot_ = boot;
    if (shift > kClockSetTolerance || shift < -kClockSetTolerance) {
        followClockSet(now, shift);
    }
    return now;
}

void SittingTracker::followClockSet(const QDateTime& now, milliseconds shift) {
    // Moving the open instants with the clock keeps every open span as long as it really is:
    // nothing goes negative, no total drops.
    shiftOpenInstants(shift);
    clockSetSinceAnchor_ += shift;
    // Soon after a launch in a new boot, a set that brings the clock to the record's own date
    // shows that the clock Spindrel was launched with was wrong, not the day.
    if (services_.clock.awakeSinceBoot() <= launchCorrectionUntil_) {
        const QDate today = localDay(now);
        if (setAside_ && today == setAside_->date) {
            restoreSetAsideRecord(now);
        }
        if (today == recordDate_) {
            reanchorDay(now);
        }
    }
    // The saved instants and the day's clock follow the set at once: a crash and a reboot
    // must not find them in the time of a clock that no longer runs.
    saveDailyData();
}

void SittingTracker::shiftOpenInstants(milliseconds shift) {
    for (auto* instant : {&sessionStart_, &breakStartTime_, &reminderSessionStart_,
                          &sleepStartedAt_, &countedUntil_, &lastBreakStart_}) {
        if (*instant) {
            **instant = (*instant)->addMSecs(shift.count());
        }
    }
    lastLookWall_ = lastLookWall_.addMSecs(shift.count());
    dayStart_ = dayStart_.addMSecs(shift.count());
}

std::optional<QDateTime> SittingTracker::sleepSinceLastLook(const QDateTime& now) {
    const milliseconds asleep = services_.clock.sinceBoot() - services_.clock.awakeSinceBoot();
    const std::optional<QDateTime> hint = std::exchange(sleepStartedAt_, std::nullopt);
    if (asleep - asleepAtLastLook_ < kShortestSleepBreak) {
        return std::nullopt;
    }
    // The key press that wakes the machine may reset the idle counter, so idleness cannot
    // be trusted to cover a sleep. Without word from logind the sleep is only known to
    // have begun after the last look; taking the earliest moment counts no sleep as sitting.
    if (hint && *hint >= lastLookWall_ && *hint <= now) {
        return hint;
    }
    return lastLookWall_;
}

void SittingTracker::bankSleep(const QDateTime& fellAsleep, const QDateTime& now) {
    if (sessionStart_) {
        closeSession(std::min(fellAsleep, now));
    }
    reminderSessionStart_.reset();
    openBreakAt(fellAsleep);
    saveDailyData();
}

QDate SittingTracker::dayOf(const QDateTime& wall) const {
    return localDay(wall.addMSecs(-clockSetSinceAnchor_.count()));
}

void SittingTracker::reanchorDay(const QDateTime& now) {
    clockSetSinceAnchor_ = milliseconds{0};
    lastLookDay_ = localDay(now);
}

void SittingTracker::startNewDayIfDue(const QDateTime& now) {
    // A day begins when the clock runs past midnight, awake or asleep; never because it
    // was set. A record older than any day can be, or holding more time than a day, was
    // begun by a clock that was wrong, and ends all the same.
    if (dayOf(now) > lastLookDay_ || dayStart_.msecsTo(now) > kLongestDay.count() ||
        countedMs(now) > static_cast<double>(kOneDay.count())) {
        startNewDay(now);
    }
}

void SittingTracker::startNewDay(const QDateTime& now) {
    setAside_.reset();
    const QDate day = dayOf(now);
    // The new day holds its own time only: spans still open at midnight count from there.
    QDateTime midnight = instant(day.startOfDay()).addMSecs(clockSetSinceAnchor_.count());
    if (dayStart_.isValid()) {
        midnight = std::max(midnight, dayStart_.addMSecs(kShortestDay.count()));
    }
    // However the clock was set, a day never reaches back more than a day.
    midnight = std::max(midnight, now.addMSecs(-kOneDay.count()));
    dayStart_ = std::min(midnight, now);
    // Dates never go back, so two days are never stamped alike.
    recordDate_ = recordDate_.isValid() ? std::max(day, recordDate_.addDays(1)) : day;
    if (localDay(now) == recordDate_) {
        // The wall clock agrees on the day again: from here on days end at its midnight,
        // and this one never starts before the date it is stamped with.
        dayStart_ = std::min(std::max(dayStart_, instant(recordDate_.startOfDay())), now);
        reanchorDay(now);
    } else {
        lastLookDay_ = day;
    }
    for (auto* open : {&sessionStart_, &breakStartTime_}) {
        if (*open && **open < dayStart_) {
            *open = dayStart_;
        }
    }
    zeroDayCounters();
    saveDailyData();
}

void SittingTracker::zeroDayCounters() {
    bankedMs_ = 0;
    bankedBreakMs_ = 0;
    publish(exerciseMinutes_, qint64{0}, &SittingTracker::exerciseMinutesChanged);
    publish(breakMinutes_, qint64{0}, &SittingTracker::breakMinutesChanged);
    publish(microBreaksTaken_, qint64{0}, &SittingTracker::microBreaksTakenChanged);
}

void SittingTracker::restoreSetAsideRecord(const QDateTime& now) {
    // What was counted since launch belongs to the record's own day, which never ended.
    const SetAsideRecord record = *std::exchange(setAside_, std::nullopt);
    recordDate_ = record.date;
    dayStart_ = std::min(instant(record.date.startOfDay()), now);
    bankedMs_ = std::min(bankedMs_ + record.bankedMs, kLongestDayMs);
    bankedBreakMs_ = std::min(bankedBreakMs_ + record.bankedBreakMs, kLongestDayMs);
    publish(exerciseMinutes_, std::min(exerciseMinutes_ + record.exercise, kMostCount),
            &SittingTracker::exerciseMinutesChanged);
    publish(microBreaksTaken_, std::min(microBreaksTaken_ + record.microBreaks, kMostCount),
            &SittingTracker::microBreaksTakenChanged);
    if (record.countedUntil && (!countedUntil_ || *record.countedUntil > *countedUntil_)) {
        countedUntil_ = std::min(*record.countedUntil, now);
    }
}

std::optional<double> SittingTracker::sampleIdleSeconds() {
    const milliseconds awake = services_.clock.awakeSinceBoot();
    if (const auto idle = inSeconds(services_.idleSource.idleTime())) {
        lastIdleAnswer_ = awake;
        publish(idleTimeAvailable_, true, &SittingTracker::idleTimeAvailableChanged);
        return idle;
    }
    // A busy or restarting compositor misses a sample now and then; only a source that
    // never answered, or stopped for good, leaves every tick to count as active.
    if (lastIdleAnswer_ && awake - *lastIdleAnswer_ < idleSourceGiveUp) {
        return std::nullopt;
    }
    publish(idleTimeAvailable_, false, &SittingTracker::idleTimeAvailableChanged);
    return 0.0;
}

void SittingTracker::closeSession(const QDateTime& end) {
    countUpTo(*sessionStart_, end);
    bankedMs_ += elapsedMs(*sessionStart_, end);
    sessionStart_.reset();
}

void SittingTracker::closeBreak(const QDateTime& end) {
    countUpTo(*breakStartTime_, end);
    bankedBreakMs_ += elapsedMs(*breakStartTime_, end);
    breakStartTime_.reset();
}

void SittingTracker::openBreakAt(const QDateTime& start) {
    if (breakStartTime_) {
        return;
    }
    breakStartTime_ = std::max(start, countingFloor());
    lastBreakStart_ = breakStartTime_;
}

QDateTime SittingTracker::countingFloor() const {
    // Back-dating stops where counted time ends, and at the start of the record's day: a
    // break never reaches over minutes that are already sitting or break, nor into
    // another day.
    return countedUntil_ ? std::max(dayStart_, *countedUntil_) : dayStart_;
}

void SittingTracker::countUpTo(const QDateTime& from, const QDateTime& to) {
    if (from >= to) {
        return;
    }
    if (!countedUntil_ || to > *countedUntil_) {
        countedUntil_ = to;
    }
    emit timeCounted(from, to);
}

double SittingTracker::sittingMs(const QDateTime& now) const {
    return bankedMs_ + (sessionStart_ ? elapsedMs(*sessionStart_, now) : 0.0);
}

double SittingTracker::breakMs(const QDateTime& now) const {
    return bankedBreakMs_ + (breakStartTime_ ? elapsedMs(*breakStartTime_, now) : 0.0);
}

double SittingTracker::countedMs(const QDateTime& now) const {
    return sittingMs(now) + breakMs(now);
}

void SittingTracker::updatePublishedState(const QDateTime& now) {
    const qint64 sitting = wholeMinutes(sittingMs(now));
    publish(totalSittingMinutes_, sitting, &SittingTracker::totalSittingMinutesChanged);
    publish(breakMinutes_, wholeMinutes(breakMs(now)), &SittingTracker::breakMinutesChanged);
    publish(riskLevel_, RiskLevels::forSittingMinutes(sitting), &SittingTracker::riskLevelChanged);
}

void SittingTracker::loadDailyData(const QDateTime& now) {
    const SettingsStore& settings = services_.settings;
    const QString boot = services_.clock.bootId();
    const qint64 offsetNow = now.toMSecsSinceEpoch() - services_.clock.sinceBoot().count();
    qint64 instantShift = 0;
    if (!boot.isEmpty() && settings.string(kBootId) == boot) {
        instantShift = offsetNow - settings.integer(kClockOffset).value_or(offsetNow);
        clockSetSinceAnchor_ =
            milliseconds(offsetNow - settings.integer(kDayClockOffset).value_or(offsetNow));
    } else {
        // In a new boot the clock has not yet been seen to agree with the record's: time
        // sync may still correct it.
        launchCorrectionUntil_ = services_.clock.awakeSinceBoot() + kClockCorrectionWindow;
    }
    countedUntil_ = storedInstant(kCountedUntil, instantShift, now);
    lastBreakStart_ = storedInstant(kLastBreakStart, instantShift, now);
    lastLookDay_ = dayOf(now);

    const std::optional<QDate> stored = storedRecordDate();
    if (stored) {
        recordDate_ = *stored;
        dayStart_ =
            storedInstant(kDayStart, instantShift, now)
                .value_or(std::min(
                    instant(stored->startOfDay()).addMSecs(clockSetSinceAnchor_.count()), now));
    }
    // A record dated after today was made before the clock was set back: it is still today's,
    // unless it began longer ago than a day can last. It began at least as long ago as it
    // holds, whatever the clock now says.
    const double sitting = storedDuration(settings, kBankedMs);
    const double away = storedDuration(settings, kBankedBreakMs);
    dayStart_ = std::min(dayStart_, now.addMSecs(-static_cast<qint64>(sitting + away)));
    if (stored && *stored >= lastLookDay_ && dayStart_.msecsTo(now) <= kLongestDay.count()) {
        bankedMs_ = sitting;
        bankedBreakMs_ = away;
        publish(exerciseMinutes_, storedCount(settings, kExerciseToday),
                &SittingTracker::exerciseMinutesChanged);
        publish(microBreaksTaken_, storedCount(settings, kMicroBreaksToday),
                &SittingTracker::microBreaksTakenChanged);
        // Stamped with this boot's clocks at once, so that a clock set before the next save
        // is still known to a relaunch after a crash.
        saveDailyData();
        return;
    }
    // The clock at launch may be the one that is wrong; keep the old record for a correction
    // that comes soon.
    std::optional<SetAsideRecord> old;
    if (stored) {
        old = SetAsideRecord{*stored,
                             storedDuration(settings, kBankedMs),
                             storedDuration(settings, kBankedBreakMs),
                             storedCount(settings, kExerciseToday),
                             storedCount(settings, kMicroBreaksToday),
                             countedUntil_};
    }
    startNewDay(now);
    setAside_ = old;
}

std::optional<QDateTime> SittingTracker::storedInstant(const QString& key, qint64 shiftMs,
                                                       const QDateTime& now) const {
    const auto stored = services_.settings.integer(key);
    if (!stored || *stored <= 0) {
        return std::nullopt;
    }
    // Nothing after now can have been counted in this clock's time.
    return std::min(QDateTime::fromMSecsSinceEpoch(*stored + shiftMs, Qt::UTC), now);
}

void SittingTracker::saveDailyData() {
    // The record is stamped with the day its counters belong to, whatever the clock says.
    SettingsStore& settings = services_.settings;
    settings.setString(kLastDate, recordDate_.toString(kDateFormat));
    settings.setReal(kBankedMs, bankedMs_);
    settings.setReal(kBankedBreakMs, bankedBreakMs_);
    settings.setInteger(kExerciseToday, exerciseMinutes_);
    settings.setInteger(kMicroBreaksToday, microBreaksTaken_);
    settings.setInteger(kLastBreakStart,
                        lastBreakStart_ ? lastBreakStart_->toMSecsSinceEpoch() : 0);
    if (countedUntil_) {
        settings.setInteger(kCountedUntil, countedUntil_->toMSecsSinceEpoch());
    }
    const qint64 offset = lastWall_.toMSecsSinceEpoch() - lastBoot_.count();
    settings.setInteger(kDayStart, dayStart_.toMSecsSinceEpoch());
    settings.setString(kBootId, services_.clock.bootId());
    settings.setInteger(kClockOffset, offset);
    settings.setInteger(kDayClockOffset, offset - clockSetSinceAnchor_.count());
    settings.commit();
}

std::optional<QDate> SittingTracker::storedRecordDate() const {
    const auto text = services_.settings.string(kLastDate);
    if (!text) {
        return std::nullopt;
    }
    const QDate date = QDate::fromString(*text, kDateFormat);
    return date.isValid() ? std::optional(date) : std::nullopt;
}

void SittingTracker::sendReminder(qint64 minutes) {
    if (!services_.notifier.canPost()) {
        return;
    }
    services_.notifier.post(ScienceNudges::reminder(minutes, services_.random));
}
