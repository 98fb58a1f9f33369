#include "Models/RoutineRunner.h"

#include <gtest/gtest.h>

#include "Support/FakeRandomSource.h"

using namespace Qt::StringLiterals;

namespace {

// A draw of this value picks the catalogue's routine at that index.
std::uint64_t indexOf(const QString& name) {
    const auto all = Routines::all();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].name == name) {
            return i;
        }
    }
    return all.size();
}

}  // namespace

TEST(RoutineRunner, TimerTextIsMinutesAndPaddedSeconds) {
    EXPECT_EQ(RoutineRunner::timerText(300), u"5:00"_s);
    EXPECT_EQ(RoutineRunner::timerText(59), u"0:59"_s);
    EXPECT_EQ(RoutineRunner::timerText(0), u"0:00"_s);
    EXPECT_EQ(RoutineRunner::timerText(90), u"1:30"_s);
}

TEST(RoutineRunner, FullBodyStretchStepsByElapsedTimeAndCompletesAtZero) {
    FakeRandomSource random;
    random.queued = {indexOf(u"Full Body Stretch"_s)};
    RoutineRunner runner(random);
    runner.pickRoutine();
    ASSERT_EQ(runner.routine()->name, u"Full Body Stretch"_s);
    EXPECT_EQ(runner.timerText(), u"1:30"_s);
    runner.startTimer();
    EXPECT_TRUE(runner.isCounting());

    std::vector<int> shownFor(4, 0);
    for (int second = 0; second < 90; ++second) {
        ++shownFor[static_cast<std::size_t>(runner.stepIndex())];
        EXPECT_FALSE(runner.showComplete()) << second;
        runner.tick();
    }
    EXPECT_EQ(shownFor, (std::vector<int>{22, 22, 22, 24}));
    EXPECT_TRUE(runner.showComplete());
    EXPECT_FALSE(runner.timerRunning());
    EXPECT_FALSE(runner.isCounting());
    EXPECT_EQ(runner.secondsLeft(), 0);
}

TEST(RoutineRunner, TheLastTenSecondsOfARunningCountdownAreFinal) {
    FakeRandomSource random;
    random.queued = {indexOf(u"Neck Stretch"_s)};
    RoutineRunner runner(random);
    runner.pickRoutine();
    EXPECT_FALSE(runner.inFinalCountdown());
    runner.startTimer();
    for (int tick = 1; tick <= 50; ++tick) {
        EXPECT_FALSE(runner.inFinalCountdown()) << runner.timerText().toStdString();
        runner.tick();
    }
    EXPECT_EQ(runner.timerText(), u"0:10"_s);
    EXPECT_TRUE(runner.inFinalCountdown());
}

TEST(RoutineRunner, APillDrawsAgainAndStopsTheCountdown) {
    FakeRandomSource random;
    RoutineRunner runner(random);
    runner.pickRoutine();
    EXPECT_EQ(runner.selectedCategory(), std::nullopt);
    runner.startTimer();
    runner.tick();
    runner.tick();

    random.queued = {1};
    runner.selectCategory(RoutineCategory::walk);
    EXPECT_EQ(runner.routine()->name, u"Walk & Hydrate"_s);
    EXPECT_FALSE(runner.isCounting());
    EXPECT_FALSE(runner.timerRunning());
    EXPECT_EQ(runner.stepIndex(), 0);
    EXPECT_EQ(runner.secondsLeft(), 180);

    runner.skip();
    ASSERT_TRUE(runner.showComplete());
    runner.selectCategory(RoutineCategory::walk);  // the chosen pill again: back to choosing
    EXPECT_FALSE(runner.showComplete());
    runner.selectCategory(std::nullopt);
    EXPECT_EQ(runner.selectedCategory(), std::nullopt);
}

TEST(RoutineRunner, LeavingStopsTheCountdownAndLateFiringsDoNothing) {
    FakeRandomSource random;
    RoutineRunner runner(random);
    runner.pickRoutine();
    runner.startTimer();
    runner.tick();
    const int left = runner.secondsLeft();
    runner.abandon();
    EXPECT_FALSE(runner.isCounting());
    runner.tick();
    EXPECT_EQ(runner.secondsLeft(), left);
}
