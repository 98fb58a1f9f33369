#include "Models/SittingTracker.h"

#include <gtest/gtest.h>

#include <limits>

#include "Data/ScienceNudges.h"
#include "Support/TrackerDesk.h"

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using std::chrono::milliseconds;
using std::chrono::seconds;

namespace {

// The desk at 9:00 on 10 March 2026, with ticks every 30 s on demand.
class Desk : public TrackerDesk {
public:
    // 30 s pass, then the tick reads this much idleness, or none when the sample fails.
    void tickWithIdle(std::optional<milliseconds> idleNow) {
        clock.advance(SittingTracker::tickInterval);
        idle.idle = idleNow;
        tracker->tick();
    }
    // Typing all along: idle a few seconds at each tick.
    void work(seconds span) {
        for (auto t = 0s; t < span; t += SittingTracker::tickInterval) {
            tickWithIdle(5s);
        }
    }
    // Hands off the keyboard: idleness grows with every tick.
    void away(seconds span) {
        for (auto t = SittingTracker::tickInterval; t <= span; t += SittingTracker::tickInterval) {
            tickWithIdle(t);
        }
    }
    double stored(const QString& key) const { return settings.real(key).value_or(-1); }
};

constexpr double kMinute = 60'000.0;

// The process's time zone for the life of the guard; the tests otherwise run in UTC.
class TimeZoneGuard {
public:
    explicit TimeZoneGuard(const char* zone) : previous_(qgetenv("TZ")) { qputenv("TZ", zone); }
    ~TimeZoneGuard() { qputenv("TZ", previous_); }
    TimeZoneGuard(const TimeZoneGuard&) = delete;
    TimeZoneGuard& operator=(const TimeZoneGuard&) = delete;

private:
    QByteArray previous_;
};

}  // namespace

// Yesterday's record starts the new day at zero, stamped at once; today's goes on, its minutes
// shown from the first tick.
TEST(SittingTrackerCreation, TodaysRecordContinuesAndAnEarlierDaysStartsAtZero) {
    for (const bool today : {true, false}) {
        SCOPED_TRACE(today ? "today" : "yesterday");
        Desk desk;
        desk.storeToday(100.000004, 12);  // a fraction of a millisecond too
        if (!today) {
            desk.settings.setString(u"lastDate"_s, u"2026-03-09"_s);
        }
        desk.settings.setInteger(u"exerciseToday"_s, 15);
        desk.settings.setInteger(u"microBreaksToday"_s, 4);
        SittingTracker& tracker = desk.launch();

        EXPECT_EQ(tracker.exerciseMinutes(), today ? 15 : 0);
        EXPECT_EQ(tracker.microBreaksTaken(), today ? 4 : 0);
        EXPECT_EQ(desk.settings.string(u"lastDate"_s), u"2026-03-10"_s);
        EXPECT_EQ(desk.stored(u"bankedMs"_s), today ? 100.000004 * kMinute : 0.0);
        EXPECT_EQ(tracker.totalSittingMinutes(), 0);
        EXPECT_TRUE(tracker.tickTimer().isActive());

        desk.tickWithIdle(5s);
        EXPECT_EQ(tracker.totalSittingMinutes(), today ? 100 : 0);
        EXPECT_EQ(tracker.breakMinutes(), today ? 12 : 0);
    }
}

TEST(SittingTrackerCreation, DamagedStoredValuesFallBackToDefaults) {
    Desk desk;
    desk.storeToday(std::numeric_limits<double>::quiet_NaN(), -5);
    desk.settings.put(u"exerciseToday"_s, -7);
    desk.settings.put(u"reminderInterval"_s, u"thirty"_s);
    desk.settings.put(u"showExerciseOffset"_s, u"yes"_s);
    SittingTracker& tracker = desk.launch();
    EXPECT_EQ(tracker.reminderInterval(), 30);
    EXPECT_FALSE(tracker.showExerciseOffset());
    EXPECT_EQ(tracker.exerciseMinutes(), 0);

    desk.tickWithIdle(5s);
    EXPECT_EQ(tracker.totalSittingMinutes(), 0);
    EXPECT_EQ(tracker.breakMinutes(), 0);

    for (qint64 interval : {0, -10}) {
        Desk other;
        other.settings.setInteger(u"reminderInterval"_s, interval);
        EXPECT_EQ(other.launch().reminderInterval(), 30) << interval;
    }
    for (double absurd :
         {std::numeric_limits<double>::infinity(), 1e300, 5e23 / kMinute, 26.0 * 60}) {
        Desk other;
        other.storeToday(absurd, absurd);
        other.settings.setInteger(u"microBreaksToday"_s, 1'000'000'000);
        other.launch();
        other.tickWithIdle(5s);
        EXPECT_EQ(other.tracker->totalSittingMinutes(), 0) << absurd;
        EXPECT_EQ(other.tracker->breakMinutes(), 0) << absurd;
        EXPECT_EQ(other.tracker->microBreaksTaken(), 0) << absurd;
    }
}

TEST(SittingTrackerBreaks, IdleOfExactlyNinetySecondsStartsAMicroBreak) {
    Desk desk;
    SittingTracker& tracker = desk.launch();
    desk.work(10min);
    desk.tickWithIdle(90s);

    EXPECT_EQ(tracker.microBreaksTaken(), 1);
    // The idle 90 s are break, not sitting: 10.5 min since launch less 1.5 min.
    EXPECT_EQ(desk.stored(u"bankedMs"_s), 9 * kMinute);
    EXPECT_EQ(tracker.totalSittingMinutes(), 9);
    EXPECT_EQ(tracker.breakMinutes(), 1);
    EXPECT_EQ(desk.settings.integer(u"microBreaksToday"_s), 1);
}

TEST(SittingTrackerBreaks, AJumpFromSixtyToThreeHundredSecondsIsAFullBreakThatRestartsTheSpan) {
    Desk desk;
    SittingTracker& tracker = desk.launch();
    desk.work(20min);
    desk.tickWithIdle(60s);
    desk.tickWithIdle(300s);
    EXPECT_EQ(tracker.microBreaksTaken(), 0);
    EXPECT_EQ(tracker.totalSittingMinutes(), 16);  // 21 min less the 300 idle seconds

    // The span was cleared, so the reminder is measured from the return.
    desk.work(30min);
    EXPECT_TRUE(desk.notifier.posted.empty());
    desk.tickWithIdle(5s);
    EXPECT_EQ(desk.notifier.posted.size(), 1u);
}

// A missed sample in an absence is no activity; a source silent for ten minutes is given up.
TEST(SittingTrackerBreaks, TenMinuteAbsenceCountsOneMicroBreakAndKeepsTheSpanThroughAMissedSample) {
    Desk desk;
    SittingTracker& tracker = desk.launch();
    desk.work(25min);
    // Ten minutes away; the compositor misses the fifth sample.
    for (auto t = 30s; t <= 10min; t += 30s) {
        desk.tickWithIdle(t == 150s ? std::nullopt : std::optional<milliseconds>(t));
    }
    EXPECT_EQ(tracker.microBreaksTaken(), 1);
    EXPECT_EQ(tracker.breakMinutes(), 10);
    EXPECT_EQ(tracker.totalSittingMinutes(), 25);
    EXPECT_TRUE(desk.notifier.posted.empty());

    // The span ran on through the break: the first active tick after return reminds.
    desk.tickWithIdle(2s);
    ASSERT_EQ(desk.notifier.posted.size(), 1u);
    EXPECT_TRUE(desk.notifier.posted[0].body.contains(u"35"_s));
    EXPECT_EQ(tracker.breakMinutes(), 10);
    EXPECT_EQ(tracker.microBreaksTaken(), 1);
    EXPECT_TRUE(tracker.idleTimeAvailable());

    // A source that stays silent: the minutes go on being shown, then it is given up.
    for (int i = 0; i < 19; ++i) {
        desk.tickWithIdle(std::nullopt);
    }
    EXPECT_TRUE(tracker.idleTimeAvailable());
    EXPECT_EQ(tracker.totalSittingMinutes(), 34);
    desk.tickWithIdle(std::nullopt);
    EXPECT_FALSE(tracker.idleTimeAvailable());
    desk.tickWithIdle(3s);
    EXPECT_TRUE(tracker.idleTimeAvailable());
}

TEST(SittingTrackerBreaks, LaunchWhileAwayClosesTheFirstSessionWithNothingBanked) {
    Desk desk;
    SittingTracker& tracker = desk.launch();
    desk.tickWithIdle(200s);
    EXPECT_EQ(tracker.microBreaksTaken(), 1);
    EXPECT_EQ(desk.stored(u"bankedMs"_s), 0.0);
    EXPECT_EQ(tracker.totalSittingMinutes(), 0);
    EXPECT_EQ(tracker.breakMinutes(), 3);  // back-dated 200 s, before the launch
}

TEST(SittingTrackerReminders, FireAtTheFirstTickPastTheIntervalWithTruncatedMinutes) {
    Desk desk;
    SittingTracker& tracker = desk.launch();
    desk.clock.advance(20s);  // ticks then fall at 30 min 20 s
    desk.work(30min);
    ASSERT_EQ(desk.notifier.posted.size(), 1u);

    // The catalogue's wording is checked on its own; here, the minutes it is given.
    FakeRandomSource zeroDraws;
    EXPECT_EQ(desk.notifier.posted[0], ScienceNudges::reminder(30, zeroDraws));
    // Rebasing the session leaves the day's total as it was.
    EXPECT_EQ(tracker.totalSittingMinutes(), 30);
    EXPECT_EQ(desk.stored(u"bankedMs"_s), 30 * kMinute + 20'000);

    desk.work(29min + 30s);
    EXPECT_EQ(desk.notifier.posted.size(), 1u);
    desk.work(30s);
    EXPECT_EQ(desk.notifier.posted.size(), 2u);
}

TEST(SittingTrackerReminders, LoweringTheIntervalRemindsAtTheNextActiveTick) {
    Desk desk;
    SittingTracker& tracker = desk.launch();
    desk.work(25min);
    EXPECT_TRUE(desk.notifier.posted.empty());
    tracker.setReminderInterval(20);
    EXPECT_EQ(desk.settings.integer(u"reminderInterval"_s), 20);
    desk.tickWithIdle(5s);
    ASSERT_EQ(desk.notifier.posted.size(), 1u);

    tracker.setReminderInterval(0);  // would remind at every tick
    EXPECT_EQ(tracker.reminderInterval(), 20);
}

TEST(SittingTrackerReminders, WithoutANotificationServiceNothingIsPostedAndTheSpanRestarts) {
    Desk desk;
    desk.notifier.available = false;
    SittingTracker& tracker = desk.launch();
    desk.work(30min);
    EXPECT_TRUE(desk.notifier.posted.empty());
    EXPECT_EQ(desk.random.draws, 0);
    desk.notifier.available = true;
    desk.work(29min);
    EXPECT_TRUE(desk.notifier.posted.empty());
    desk.work(1min);
    EXPECT_EQ(desk.notifier.posted.size(), 1u);
    EXPECT_EQ(tracker.totalSittingMinutes(), 60);
}

TEST(SittingTrackerDay, MidnightWhileSittingStartsTheNewDayFromMidnight) {
    // The user's own midnight, also where it is far from UTC's.
    for (const char* zone : {"UTC", "Pacific/Auckland", "America/Santiago"}) {
        SCOPED_TRACE(zone);
        const TimeZoneGuard inZone(zone);
        Desk desk;
        desk.clock.setWall(QDateTime(QDate(2026, 3, 10), QTime(23, 10)));
        desk.settings.setInteger(u"reminderInterval"_s, 60);
        SittingTracker& tracker = desk.launch();
        desk.work(20min);
        desk.away(5min);
        desk.work(30min);  // from 23:35:30 to 00:05
        EXPECT_EQ(desk.clock.now().date(), QDate(2026, 3, 11));
        EXPECT_EQ(tracker.microBreaksTaken(), 0);
        EXPECT_EQ(tracker.breakMinutes(), 0);
        EXPECT_EQ(desk.settings.string(u"lastDate"_s), u"2026-03-11"_s);
        // The session reopened at 23:35:30 goes on; the new day holds its minutes from midnight.
        EXPECT_EQ(tracker.totalSittingMinutes(), 5);
    }
}

TEST(SittingTrackerOperations, ResetAfterBreakDuringABreakEndsTheBreakThere) {
    Desk desk;
    SittingTracker& tracker = desk.launch();
    desk.work(10min);
    desk.away(5min);
    const double banked = desk.stored(u"bankedMs"_s);
    tracker.resetSessionAfterBreak();
    EXPECT_EQ(desk.stored(u"bankedMs"_s), banked);
    EXPECT_EQ(tracker.breakMinutes(), 5);

    desk.clock.advance(90s);
    desk.tickWithIdle(1s);
    // 17 minutes in all: the reopened session does not count the break's minutes again.
    EXPECT_EQ(tracker.breakMinutes(), 5);
    EXPECT_EQ(tracker.totalSittingMinutes(), 12);
}

TEST(SittingTrackerOperations, ExerciseOffsetFollowsTheDaysSitting) {
    const std::pair<double, qint64> table[] = {
        {359, 0}, {360, 30}, {480, 52}, {600, 75}, {900, 75}};
    for (const auto& [minutes, offset] : table) {
        Desk desk;
        desk.storeToday(minutes - 0.5);
        SittingTracker& tracker = desk.launch();
        desk.tickWithIdle(1s);
        EXPECT_EQ(tracker.totalSittingMinutes(), static_cast<qint64>(minutes));
        EXPECT_EQ(tracker.exerciseOffsetNeeded(), offset) << minutes;
    }
}

TEST(SittingTrackerOperations, ExerciseSwitchesAndTheOpenSessionLessItsIdleTailSurviveARestart) {
    Desk desk;
    SittingTracker& tracker = desk.launch();
    tracker.logExercise(20);
    tracker.logExercise(-15);  // never taken off
    tracker.setShowExerciseOffset(true);
    tracker.setPostureTrackingEnabled(true);
    EXPECT_EQ(tracker.exerciseMinutes(), 20);
    desk.work(12min);
    desk.clock.advance(100s);
    desk.idle.idle = 100s;  // gone for a while already when the app is quit
    desk.tracker.reset();
    EXPECT_EQ(desk.stored(u"bankedMs"_s), 12 * kMinute);
    const SittingTracker& again = desk.launch();
    EXPECT_EQ(again.exerciseMinutes(), 20);
    EXPECT_TRUE(again.showExerciseOffset());
    EXPECT_TRUE(again.postureTrackingEnabled());
}

TEST(SittingTrackerSuspend, ASleepIsABreakEvenWhenWakingResetsTheIdleCounter) {
    Desk desk;
    SittingTracker& tracker = desk.launch();
    desk.work(20min);
    desk.clock.suspendFor(2h);
    desk.tickWithIdle(3s);  // the wake-up key press

    EXPECT_EQ(tracker.totalSittingMinutes(), 20);
    EXPECT_EQ(tracker.breakMinutes(), 120);
    EXPECT_EQ(tracker.microBreaksTaken(), 0);
    // The reminder span was cleared by the sleep, as after any long absence.
    desk.work(29min);
    EXPECT_TRUE(desk.notifier.posted.empty());
    desk.work(1min);
    EXPECT_EQ(desk.notifier.posted.size(), 1u);
}

TEST(SittingTrackerSuspend, LogindsWordDatesTheBreakToTheMomentOfSleep) {
    Desk desk;
    SittingTracker& tracker = desk.launch();
    desk.work(10min);
    desk.clock.advance(20s);
    tracker.noteSleepStarting();
    desk.clock.suspendFor(30min);
    desk.clock.advance(10s);
    desk.idle.idle = 2s;
    tracker.tick();
    EXPECT_EQ(desk.stored(u"bankedMs"_s), 10 * kMinute + 20'000);

    // A short doze is no break: it neither closes the session nor counts as one.
    desk.work(5min);
    desk.clock.suspendFor(40s);
    desk.tickWithIdle(2s);
    EXPECT_EQ(tracker.breakMinutes(), 30);
    EXPECT_EQ(tracker.microBreaksTaken(), 0);
}

TEST(SittingTrackerClock, AWallClockSetBackNeitherLowersTotalsNorBanksNegativeTime) {
    Desk desk;
    SittingTracker& tracker = desk.launch();
    desk.work(40min);
    desk.away(3min);
    const qint64 sitting = tracker.totalSittingMinutes();
    const qint64 away = tracker.breakMinutes();

    desk.clock.setWall(desk.clock.now().addSecs(-3600));
    desk.tickWithIdle(1s);
    EXPECT_GE(tracker.totalSittingMinutes(), sitting);
    EXPECT_GE(tracker.breakMinutes(), away);
    desk.work(10min);
    EXPECT_EQ(tracker.totalSittingMinutes(), sitting + 10);
    EXPECT_GE(desk.stored(u"bankedMs"_s), 0.0);
    EXPECT_GE(desk.stored(u"bankedBreakMs"_s), 0.0);

    tracker.resetSessionAfterBreak();
    desk.clock.setWall(desk.clock.now().addSecs(-600));
    tracker.resetSessionAfterBreak();
    EXPECT_EQ(tracker.totalSittingMinutes(), sitting + 10);
}

// Each case starts at 21:00 on a day whose record holds an hour of sitting, 20 minutes of
// exercise and two micro breaks, and sets the clock the way time sync or a user does.
TEST(SittingTrackerClock, ASetClockMovesNoDayAndARealMidnightStillDoes) {
    const QDate day(2026, 3, 10);
    const QDateTime evening(day, QTime(21, 0));
    // The clock is set by `by` seconds, and when `andBack` set back two minutes later.
    struct Case {
        const char* name;
        QDateTime launchAt;
        qint64 by;
        bool andBack;
    };
    const Case cases[] = {
        {"one day ahead and back", evening, 24 * 3600, true},
        {"two days back and back", evening, -2 * 24 * 3600, true},
        {"past midnight and back", evening, 3 * 3600 + 20 * 60, true},
        {"three hours ahead at night", evening, 3 * 3600, false},
        {"launched a day ahead, corrected", evening.addDays(1), -24 * 3600, false},
        {"launched a year behind, corrected", evening.addYears(-1), 365 * 24 * 3600, false},
    };
    for (const Case& c : cases) {
        Desk desk;
        desk.storeToday(60);
        desk.settings.setString(u"lastDate"_s, day.toString(u"yyyy-MM-dd"_s));
        desk.settings.setInteger(u"exerciseToday"_s, 20);
        desk.settings.setInteger(u"microBreaksToday"_s, 2);
        desk.clock.setWall(c.launchAt);
        SittingTracker& tracker = desk.launch();
        desk.work(40s);
        desk.clock.setWall(desk.clock.now().addSecs(c.by));
        if (c.andBack) {
            desk.work(2min);
            desk.clock.setWall(desk.clock.now().addSecs(-c.by));
        }
        desk.tickWithIdle(5s);
        desk.work(5min);

        EXPECT_EQ(tracker.exerciseMinutes(), 20) << c.name;
        EXPECT_EQ(tracker.microBreaksTaken(), 2) << c.name;
        EXPECT_GE(tracker.totalSittingMinutes(), 65) << c.name;
        EXPECT_EQ(desk.settings.string(u"lastDate"_s), u"2026-03-10"_s) << c.name;

        // Three hours and a half later the real day is over, whatever the clock reads.
        desk.work(3h + 30min);
        EXPECT_EQ(tracker.exerciseMinutes(), 0) << c.name;
        EXPECT_EQ(desk.settings.string(u"lastDate"_s), u"2026-03-11"_s) << c.name;
        EXPECT_LT(tracker.totalSittingMinutes(), 4 * 60) << c.name;
    }
}

TEST(SittingTrackerSuspend, EveryEntryPointAccountsForASleepAndANewDayFirst) {
    // Quit ten seconds after waking on the next morning.
    {
        Desk desk;
        desk.clock.setWall(QDateTime(QDate(2026, 3, 10), QTime(20, 0)));
        desk.launch();
        desk.work(60min);
        desk.tracker->logExercise(20);
        desk.clock.suspendFor(11h);
        desk.clock.advance(10s);
        desk.tracker.reset();
        SittingTracker& again = desk.launch();
        desk.tickWithIdle(5s);
        EXPECT_EQ(again.exerciseMinutes(), 0);
        EXPECT_EQ(again.totalSittingMinutes(), 0);
        EXPECT_EQ(again.breakMinutes(), 8 * 60);  // the night since midnight
        EXPECT_EQ(desk.settings.string(u"lastDate"_s), u"2026-03-11"_s);
    }
    // A routine finished ten seconds after an hour's sleep.
    {
        Desk desk;
        SittingTracker& tracker = desk.launch();
        desk.work(20min);
        desk.clock.suspendFor(1h);
        desk.clock.advance(10s);
        tracker.resetSessionAfterBreak();
        EXPECT_EQ(tracker.totalSittingMinutes(), 20);
        EXPECT_EQ(tracker.breakMinutes(), 60);
    }
    // Exercise logged in the half-minute after midnight, before the tick.
    {
        Desk desk;
        desk.clock.setWall(QDateTime(QDate(2026, 3, 10), QTime(23, 0)));
        SittingTracker& tracker = desk.launch();
        desk.work(59min + 30s);
        desk.clock.advance(40s);
        tracker.logExercise(15);
        EXPECT_EQ(desk.settings.string(u"lastDate"_s), u"2026-03-11"_s);
        EXPECT_EQ(desk.stored(u"bankedMs"_s), 0.0);
        EXPECT_EQ(desk.settings.integer(u"exerciseToday"_s), 15);
    }
}

TEST(SittingTrackerDay, ARestartWhileAwayCountsTheAbsenceOnce) {
    Desk desk;
    desk.launch();
    desk.work(30min);
    desk.away(2min);
    EXPECT_EQ(desk.tracker->microBreaksTaken(), 1);
    desk.tracker.reset();

    SittingTracker& again = desk.launch();
    desk.tickWithIdle(150s);
    desk.tickWithIdle(2s);
    EXPECT_EQ(again.microBreaksTaken(), 1);
    EXPECT_EQ(again.totalSittingMinutes(), 30);
    // 33 minutes since the first launch, each counted once.
    EXPECT_EQ(desk.stored(u"bankedMs"_s) + desk.stored(u"bankedBreakMs"_s), 33 * kMinute);
}

TEST(SittingTrackerShared, TheSharedTrackerLivesAsLongAsItsOwner) {
    Desk desk;
    EXPECT_EQ(SittingTracker::shared(), nullptr);
    {
        auto owner = SittingTracker::createShared(desk.services());
        EXPECT_EQ(SittingTracker::shared(), owner.get());
    }
    EXPECT_EQ(SittingTracker::shared(), nullptr);
}
