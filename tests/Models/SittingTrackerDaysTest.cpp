// Whole simulated days, generated at random: a user who works, walks away, lets the machine
// sleep, quits or loses the app, sets the clock and whose desktop misses idle samples. After
// every tick and every event the day record must still be true to the time that passed.

#include <gtest/gtest.h>

#include <QDateTime>
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "Models/SittingTracker.h"
#include "Support/FakeCamera.h"
#include "Support/FakeCameraWatch.h"
#include "Support/FakeClock.h"
#include "Support/FakeIdleSource.h"
#include "Support/FakeNotifier.h"
#include "Support/FakeRandomSource.h"
#include "Support/MemorySettingsStore.h"

using namespace std::chrono_literals;
using std::chrono::milliseconds;

namespace {

struct Event {
    enum class Kind {
        work,         // typing for `span`
        away,         // hands off for `span`, the machine awake
        missSamples,  // the next `count` idle samples fail
        suspend,      // asleep for `span`; `flag`: logind says so before and after
        setClock,     // the wall clock moves by `span`
        quit,         // the app ends (`flag`: killed, nothing saved at exit) for `span`
        done,         // a routine is finished
        logExercise,  // `count` minutes
        setInterval,  // reminder interval of `count` minutes
    };
    Kind kind = Kind::work;
    milliseconds span{0};
    qint64 count = 0;
    bool flag = false;
};

std::string describe(const Event& e) {
    static const char* const names[] = {"work", "away", "missSamples", "suspend",    "setClock",
                                        "quit", "done", "logExercise", "setInterval"};
    std::ostringstream out;
    out << names[static_cast<int>(e.kind)] << " " << e.span.count() << "ms n=" << e.count
        << (e.flag ? " (flag)" : "");
    return out.str();
}

// A stretch of the user's life: when it starts and what happens, day after day.
struct Life {
    QDateTime start;
    std::vector<Event> events;
    int days = 0;
};

class LifeGenerator {
public:
    explicit LifeGenerator(std::uint64_t seed) : rng_(seed) {}

    Life next() {
        Life life;
        life.start =
            QDateTime(QDate(2026, 3, 10), QTime(0, 0)).addSecs(uniform(5 * 3600, 23 * 3600 + 3599));
        life.days = static_cast<int>(uniform(1, 3));
        for (int day = 0; day < life.days; ++day) {
            const auto daytime = uniform(2, 7);
            for (qint64 i = 0; i < daytime; ++i) {
                life.events.push_back(daytimeEvent());
            }
            life.events.push_back(overnight());
        }
        return life;
    }

private:
    qint64 uniform(qint64 low, qint64 high) {
        return std::uniform_int_distribution<qint64>(low, high)(rng_);
    }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng_); }
    // Mostly short, sometimes long: spans from `low` to `high` spread evenly in magnitude.
    milliseconds spread(milliseconds low, milliseconds high) {
        const double l = std::log(static_cast<double>(low.count()));
        const double h = std::log(static_cast<double>(high.count()));
        return milliseconds(
            std::llround(std::exp(std::uniform_real_distribution<double>(l, h)(rng_))));
    }
    Event clockSet() {
        Event e{Event::Kind::setClock};
        const milliseconds by = chance(0.05) ? milliseconds(365LL * 24 * 3600'000)
                                             : spread(1min, milliseconds(3 * 24 * 3600'000));
        // Whole minutes, so that sets undone later cancel exactly rather than leave a drift
        // under what the tracker takes for a set clock.
        const milliseconds minutes = std::chrono::round<std::chrono::minutes>(by);
        e.span = chance(0.5) ? minutes : -minutes;
        return e;
    }
    Event daytimeEvent() {
        using K = Event::Kind;
        switch (uniform(0, 12)) {
            case 0:
            case 1:
            case 2:
                return {K::work, spread(1min, 40min)};
            case 3:
            case 4:
                return {K::away, spread(20s, 3h)};
            case 5:
                return {K::missSamples, 0ms, uniform(1, 30)};
            case 6:
                return {K::suspend, spread(20s, 3h), 0, chance(0.5)};
            case 7:
                return clockSet();
            case 8:
                return {K::quit, spread(1s, 90min), chance(0.2) ? 1 : 0, chance(0.3)};
            case 9:
                return {K::done};
            case 10:
                return {K::logExercise, 0ms, uniform(-10, 60)};
            case 11:
                return {K::setInterval, 0ms, std::array{20, 30, 60}[uniform(0, 2)]};
            default:
                return {K::work, spread(30s, 5min)};
        }
    }
    Event overnight() {
        const milliseconds night = spread(5h, 14h);
        if (chance(0.6)) {
            return {Event::Kind::suspend, night, 0, chance(0.5)};
        }
        if (chance(0.9)) {
            return {Event::Kind::quit, night, chance(0.5) ? 1 : 0, chance(0.2)};
        }
        return {Event::Kind::away, night};
    }

    std::mt19937_64 rng_;
};

// Runs a life over the fakes, checking the record against the time that really passed.
class World {
public:
    explicit World(const QDateTime& start) : clock_(start) {}
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // The first broken promise, with the index of the event during which it broke.
    std::optional<std::string> live(const std::vector<Event>& events) {
        launch();
        for (index_ = 0; index_ < events.size() && !failure_; ++index_) {
            apply(events[index_]);
            check();
        }
        if (!failure_) {
            quit(false);
        }
        tracker_.reset();
        return failure_;
    }

private:
    // Time that really passed, across reboots.
    qint64 realMs() const { return clock_.sinceBoot().count() + rebootShift_; }
    // The fake's wall clock less its boot clock: maps the tracker's instants to real time.
    qint64 toReal(const QDateTime& wall) const {
        return wall.toMSecsSinceEpoch() - (clock_.now().toMSecsSinceEpoch() - realMs());
    }

    void fail(const std::string& what) {
        if (!failure_) {
            std::ostringstream out;
            out << "after event " << index_ << ", at real ms " << realMs() << ": " << what;
            failure_ = out.str();
        }
    }

    void launch() {
        clockUnseen_ = false;
        tracker_ = std::make_unique<SittingTracker>(
            TrackerServices{clock_, idle_, notifier_, settings_, random_, camera_, cameraWatch_});
        SittingTracker* tracker = tracker_.get();  // also while it banks at exit
        QObject::connect(tracker, &SittingTracker::timeCounted,
                         [this, tracker](const QDateTime& from, const QDateTime& to) {
                             counted(tracker->account().recordDate, from, to);
                         });
        nextTick_ = clock_.awakeSinceBoot() + SittingTracker::tickInterval;
        const DayAccount account = tracker_->account();
        const auto saved = [this](const char* key) {
            return savedAtExit_->value(QString::fromLatin1(key), -1);
        };
        if (savedAtExit_ &&
            account.recordDate.toString(Qt::ISODate) == saved("lastDate").toString() &&
            (account.bankedMs != saved("bankedMs").toDouble() ||
             account.bankedBreakMs != saved("bankedBreakMs").toDouble() ||
             tracker_->exerciseMinutes() != saved("exerciseToday").toLongLong() ||
             tracker_->microBreaksTaken() != saved("microBreaksToday").toLongLong())) {
            fail("the next launch does not show the totals saved at exit");
        }
        notePublished();
    }

    void quit(bool killed) {
        if (killed) {
            // Only what was saved survives: whatever the app did at exit is undone.
            const auto saved = settings_.values;
            QObject::disconnect(tracker_.get(), nullptr, nullptr, nullptr);
            tracker_.reset();
            settings_.values = saved;
            savedAtExit_.reset();
            return;
        }
        tracker_.reset();
        savedAtExit_ = settings_.values;
    }

    void counted(const QDate& day, const QDateTime& fromWall, const QDateTime& toWall) {
        const qint64 from = toReal(fromWall);
        const qint64 to = toReal(toWall);
        if (from >= to || to > realMs()) {
            fail("a counted span is empty or ends in the future");
        }
        // No instant may be counted twice, in any day, by any run.
        auto next = spans_.lower_bound(from);
        if ((next != spans_.end() && next->first < to) ||
            (next != spans_.begin() && std::prev(next)->second > from)) {
            fail("an instant was counted twice");
        }
        spans_.emplace(from, to);
        auto [first, inserted] = firstCounted_.try_emplace(day, from);
        first->second = std::min(first->second, from);
    }

    void apply(const Event& e) {
        using K = Event::Kind;
        loggedThisEvent_ = e.kind == K::logExercise ? std::max<qint64>(0, e.count) : 0;
        if (e.kind == K::done || e.kind == K::logExercise || e.kind == K::setInterval) {
            click();
        }
        switch (e.kind) {
            case K::work:
                present(true);
                pass(e.span);
                break;
            case K::away:
                present(false);
                pass(e.span);
                break;
            case K::missSamples:
                missing_ = e.count;
                break;
            case K::suspend:
                suspend(e.span, e.flag);
                break;
            case K::setClock:
                clock_.setWall(clock_.now().addMSecs(e.span.count()));
                clockUnseen_ = true;
                break;
            case K::quit:
                // Killed right after the clock was set and before a reboot, nothing could
                // ever tell the old clock from the new: let it go down cleanly instead.
                quit(e.flag && !(clockUnseen_ && e.count == 1));
                present(false);  // and away from the desk meanwhile
                if (e.count == 1) {
                    const qint64 before = realMs();
                    clock_.reboot(e.span);
                    rebootShift_ += before + e.span.count() - realMs();
                } else {
                    clock_.advance(e.span);
                }
                launch();
                break;
            case K::done:
                look().resetSessionAfterBreak();
                break;
            case K::logExercise:
                look().logExercise(e.count);
                break;
            case K::setInterval:
                look().setReminderInterval(e.count);
                break;
        }
    }

    void present(bool atDesk) {
        if (atDesk == atDesk_) {
            return;
        }
        atDesk_ = atDesk;
        if (!atDesk) {
            leftAt_ = realMs();
            lastInput_ = realMs();
        } else {
            endAbsence();
        }
    }
    // A click in the window is input, wherever the user goes next.
    void click() {
        lastInput_ = realMs();
        if (!atDesk_) {
            endAbsence();
            leftAt_ = realMs();
        }
    }
    void endAbsence() {
        if (leftAt_ && realMs() - *leftAt_ >= 90'000) {
            ++longAbsences_;
        }
        leftAt_.reset();
    }

    // Awake time passes; the tracker's timer fires every 30 s of it.
    void pass(milliseconds span) {
        while (span > 0ms && !failure_) {
            const milliseconds step = std::min(span, nextTick_ - clock_.awakeSinceBoot());
            clock_.advance(step);
            span -= step;
            if (clock_.awakeSinceBoot() == nextTick_) {
                nextTick_ += SittingTracker::tickInterval;
                tick();
            }
        }
    }

    void tick() {
        if (atDesk_) {
            lastInput_ = realMs() - 5000;
        }
        if (missing_ > 0) {
            --missing_;
            idle_.idle.reset();
        } else {
            idle_.idle = milliseconds(realMs() - lastInput_);
        }
        look().tick();
        check();
    }

    void suspend(milliseconds span, bool logindSays) {
        if (logindSays) {
            look().noteSleepStarting();
        }
        const bool wasAtDesk = atDesk_;
        present(false);
        clock_.suspendFor(span);
        // The key press that wakes the machine is input; the user may then walk off again.
        endAbsence();
        lastInput_ = realMs();
        atDesk_ = wasAtDesk;
        if (!atDesk_) {
            leftAt_ = realMs();
        }
        if (logindSays) {
            idle_.idle = 0ms;
            look().noteResumed();
            check();
        }
    }

    // Every call into the tracker lets it see the clock as it is now.
    SittingTracker& look() {
        clockUnseen_ = false;
        return *tracker_;
    }

    void check() {
        // A clock just set is not yet seen by the tracker: its instants are in the old
        // clock's time until it next looks.
        if (failure_ || !tracker_ || clockUnseen_) {
            return;
        }
        const DayAccount a = tracker_->account();
        if (!std::isfinite(a.bankedMs) || !std::isfinite(a.bankedBreakMs) || a.bankedMs < 0 ||
            a.bankedBreakMs < 0) {
            fail("a banked duration is negative or not finite");
            return;
        }
        notePublished();
        // More than the longest day could hold would read back as damage at the next launch.
        if (a.bankedMs + a.bankedBreakMs > 25.0 * 3600'000) {
            fail("the day holds more than a day");
        }
        const qint64 now = realMs();
        qint64 first = now;
        if (const auto it = firstCounted_.find(a.recordDate); it != firstCounted_.end()) {
            first = it->second;
        }
        double total = a.bankedMs + a.bankedBreakMs;
        for (const auto& open : {a.sessionStart, a.breakStart}) {
            if (!open) {
                continue;
            }
            const qint64 start = toReal(*open);
            if (!spans_.empty() && start < std::prev(spans_.end())->second) {
                fail("an open span starts inside counted time");
            }
            first = std::min(first, start);
            total += static_cast<double>(std::max<qint64>(0, now - start));
        }
        if (a.sessionStart && a.breakStart && toReal(*a.sessionStart) < now &&
            toReal(*a.breakStart) < now) {
            fail("a session and a break are open over the same time");
        }
        if (total > static_cast<double>(now - first)) {
            fail("today's sitting and break exceed the time from its first counted instant");
        }
        const qint64 absences = longAbsences_ + (leftAt_ && now - *leftAt_ >= 90'000 ? 1 : 0);
        if (microIncrements_ > absences) {
            fail("more micro breaks than absences of 90 s or more");
        }
    }

    // Follows the day's counters: a new day starts from zero, micro breaks only grow by
    // what the tracker counted.
    void notePublished() {
        const QDate day = tracker_->account().recordDate;
        const qint64 micro = tracker_->microBreaksTaken();
        if (day != shownDay_) {
            const bool newDay = !microOfDay_.contains(day);
            if (newDay && shownDay_.isValid() &&
                (micro > 1 || tracker_->exerciseMinutes() > loggedThisEvent_)) {
                fail("a new day carries yesterday's counters");
            }
            // A day given back after a clock correction brings its own count and spans along.
            const qint64 before = newDay ? 0 : microOfDay_[day] + shownMicro_;
            if (!newDay && firstCounted_.contains(shownDay_)) {
                auto [first, inserted] = firstCounted_.try_emplace(day, firstCounted_[shownDay_]);
                first->second = std::min(first->second, firstCounted_[shownDay_]);
            }
            microIncrements_ += std::max<qint64>(0, micro - before);
        } else {
            microIncrements_ += std::max<qint64>(0, micro - shownMicro_);
        }
        shownDay_ = day;
        shownMicro_ = micro;
        microOfDay_[day] = micro;
    }

    FakeClock clock_;
    FakeIdleSource idle_;
    FakeNotifier notifier_;
    MemorySettingsStore settings_;
    FakeRandomSource random_;
    FakeCameraBackend camera_;
    FakeCameraWatch cameraWatch_;
    std::unique_ptr<SittingTracker> tracker_;

    std::size_t index_ = 0;
    std::optional<std::string> failure_;
    milliseconds nextTick_{0};
    bool atDesk_ = true;
    qint64 lastInput_ = 0;
    std::optional<qint64> leftAt_;
    qint64 longAbsences_ = 0;
    qint64 missing_ = 0;
    qint64 rebootShift_ = 0;
    qint64 loggedThisEvent_ = 0;
    bool clockUnseen_ = false;

    std::map<qint64, qint64> spans_;  // counted real time, from → to
    std::map<QDate, qint64> firstCounted_;
    std::optional<QHash<QString, QVariant>> savedAtExit_;  // the store as the last exit left it
    QDate shownDay_;
    qint64 shownMicro_ = 0;
    qint64 microIncrements_ = 0;
    std::map<QDate, qint64> microOfDay_;
};

std::uint64_t seedOfThisRun() {
    if (const char* given = std::getenv("SPINDREL_DAYS_SEED")) {
        return std::strtoull(given, nullptr, 10);
    }
    return std::random_device{}();
}

}  // namespace

TEST(SittingTrackerDays, TenThousandRandomDaysKeepTheRecordTrue) {
    const std::uint64_t seed = seedOfThisRun();
    LifeGenerator generator(seed);
    for (int days = 0; days < 10'000;) {
        const Life life = generator.next();
        days += life.days;
        if (const auto failure = World(life.start).live(life.events)) {
            std::ostringstream out;
            out << "seed " << seed << " (SPINDREL_DAYS_SEED=" << seed
                << " reproduces it), life from " << life.start.toString(Qt::ISODate).toStdString()
                << ": " << *failure << "\nevents:";
            for (const Event& e : life.events) {
                out << "\n  " << describe(e);
            }
            FAIL() << out.str();
        }
    }
}
