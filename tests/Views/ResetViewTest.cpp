#include "Views/ResetView.h"

#include <gtest/gtest.h>

#include <QTest>

#include "Components/GlassTheme.h"
#include "Data/CompletionMessages.h"
#include "Data/ScienceNudges.h"
#include "Support/PageDesk.h"
#include "Views/FilledButton.h"
#include "Views/LinkButton.h"
#include "Views/PillButton.h"

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

std::uint64_t indexOfRoutine(const QString& name) {
    const auto& all = Routines::all();
    const auto found = std::ranges::find(all, name, &Routine::name);
    EXPECT_NE(found, all.end()) << "no routine " << name.toStdString();
    return static_cast<std::uint64_t>(found - all.begin());
}

// The reset page over a desk; the first draw picks the named routine.
struct ResetPage {
    PageDesk desk;
    std::unique_ptr<ResetView> view;

    explicit ResetPage(const QString& routine = u"Shoulder Reset"_s) {
        desk.random.queued = {indexOfRoutine(routine)};
        view = desk.openOn<ResetView>(AppPage::reset);
    }
    // One second of the countdown, as its timer would run it.
    void seconds(int count) {
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(view->runner().isCounting());
            view->runner().tick();
        }
    }
    SittingTracker& tracker() { return *desk.tracker; }
};

}  // namespace

TEST(ResetView, FullBodyStretchStepsByElapsedTimeTurnsOrangeForTheLastTenSecondsAndCompletes) {
    ResetPage page(u"Full Body Stretch"_s);
    const QStringList steps = Routines::all()[indexOfRoutine(u"Full Body Stretch"_s)].steps;
    ASSERT_EQ(steps.size(), 4);
    EXPECT_EQ(page.view->countdownText(), u"1:30"_s);
    EXPECT_EQ(page.view->countdownColor(), GlassTheme::accent());
    page.view->startButton()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(page.view->startButton(), Qt::Key_Return);
    EXPECT_FALSE(page.view->startButton()->isVisible());
    EXPECT_FALSE(page.view->skipButton()->isVisible());

    // 22 s on each of the first three steps, the last 24 s on the fourth.
    for (int second = 1; second <= 89; ++second) {
        page.seconds(1);
        const qsizetype step = second < 22 ? 0 : second < 44 ? 1 : second < 66 ? 2 : 3;
        ASSERT_EQ(page.view->stepText(), steps[step]) << "after " << second << " s";
        ASSERT_EQ(page.view->countdownColor(),
                  second < 80 ? GlassTheme::accent() : GlassTheme::standardOrange())
            << "after " << second << " s";
    }
    EXPECT_EQ(page.view->countdownText(), u"0:01"_s);
    EXPECT_FALSE(page.view->showsCompletion());
    page.seconds(1);
    EXPECT_TRUE(page.view->showsCompletion());
    EXPECT_FALSE(page.view->runner().isCounting());
}

TEST(ResetView, DoneAfterARunRestartsTheSittingSessionKeepingTodaysTotal) {
    ResetPage page(u"Shoulder Reset"_s);
    page.desk.tick(50);  // 25 minutes at the desk
    const qint64 sat = page.tracker().totalSittingMinutes();
    ASSERT_GE(sat, 25);
    QTest::mouseClick(page.view->startButton(), Qt::LeftButton);
    page.seconds(60);
    ASSERT_TRUE(page.view->showsCompletion());
    EXPECT_TRUE(CompletionMessages::all().end() !=
                std::ranges::find(CompletionMessages::all(), page.view->cheerText()));
    EXPECT_TRUE(ScienceNudges::nudges().end() !=
                std::ranges::find(ScienceNudges::nudges(), page.view->factText()));

    QTest::mouseClick(page.view->doneButton(), Qt::LeftButton);
    EXPECT_EQ(page.tracker().currentPage(), AppPage::dashboard);
    EXPECT_EQ(page.tracker().totalSittingMinutes(), sat);
    // The reminder span starts again: 25 more minutes pass without a reminder, which would
    // have come at 30 minutes of the old span.
    page.desk.tick(50);
    EXPECT_TRUE(page.desk.notifier.posted.empty());
    page.desk.tick(11);
    EXPECT_EQ(page.desk.notifier.posted.size(), 1U);
}

TEST(ResetView, SkipShowsTheCompletionWithoutTouchingTheTracker) {
    ResetPage page;
    page.desk.tick();
    const qint64 sat = page.tracker().totalSittingMinutes();
    const qint64 breaks = page.tracker().breakMinutes();
    const qint64 microBreaks = page.tracker().microBreaksTaken();
    page.view->skipButton()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(page.view->skipButton(), Qt::Key_Space);
    EXPECT_TRUE(page.view->showsCompletion());
    EXPECT_EQ(page.tracker().currentPage(), AppPage::reset);
    EXPECT_EQ(page.tracker().totalSittingMinutes(), sat);
    EXPECT_EQ(page.tracker().breakMinutes(), breaks);
    EXPECT_EQ(page.tracker().microBreaksTaken(), microBreaks);
    // The keyboard user lands on Done, which then behaves as after a full run.
    EXPECT_TRUE(page.view->doneButton()->hasFocus());
    QTest::keyClick(page.view->doneButton(), Qt::Key_Enter);
    EXPECT_EQ(page.tracker().currentPage(), AppPage::dashboard);
}

TEST(ResetView, ArrivesReadyWithSurpriseMeChosenAndAPillDrawsAgainStoppingACountdown) {
    ResetPage page(u"Shoulder Reset"_s);
    EXPECT_TRUE(page.view->pill(std::nullopt)->isSelected());
    EXPECT_TRUE(page.view->pill(std::nullopt)->isChecked());
    for (const RoutineCategory category : RoutineCategories::allCases) {
        EXPECT_FALSE(page.view->pill(category)->isSelected());
    }
    EXPECT_EQ(page.view->routineName(), u"Shoulder Reset"_s);
    EXPECT_EQ(page.view->categoryLine(), u"\U0001F938 STRETCH BREAK"_s);
    EXPECT_EQ(page.view->stepText(), u"Shoulder rolls ×10 (forward)"_s);
    EXPECT_EQ(page.view->countdownText(), u"1:00"_s);
    EXPECT_TRUE(page.view->startButton()->isVisible());
    EXPECT_TRUE(page.view->skipButton()->isVisible());
    EXPECT_FALSE(page.view->runner().isCounting());

    QTest::mouseClick(page.view->startButton(), Qt::LeftButton);
    page.seconds(5);
    page.desk.random.queued = {1};  // the second walk: "Walk & Hydrate"
    QTest::mouseClick(page.view->pill(RoutineCategory::walk), Qt::LeftButton);
    EXPECT_FALSE(page.view->runner().isCounting());
    EXPECT_EQ(page.view->routineName(), u"Walk & Hydrate"_s);
    EXPECT_EQ(page.view->countdownText(), u"3:00"_s);
    EXPECT_TRUE(page.view->pill(RoutineCategory::walk)->isSelected());
    EXPECT_FALSE(page.view->pill(std::nullopt)->isSelected());
    EXPECT_TRUE(page.view->startButton()->isVisible());

    // The chosen pill again: a new draw from the same category.
    page.desk.random.queued = {0};
    QTest::mouseClick(page.view->pill(RoutineCategory::walk), Qt::LeftButton);
    EXPECT_EQ(page.view->routineName(), u"Office Walk"_s);
    EXPECT_TRUE(page.view->pill(RoutineCategory::walk)->isChecked());

    // After a skip, the chosen pill leaves the completion for a fresh choice.
    page.view->skipButton()->click();
    ASSERT_TRUE(page.view->showsCompletion());
    QTest::mouseClick(page.view->pill(RoutineCategory::walk), Qt::LeftButton);
    EXPECT_FALSE(page.view->showsCompletion());
    QTest::mouseClick(page.view->pill(std::nullopt), Qt::LeftButton);
    EXPECT_TRUE(page.view->pill(std::nullopt)->isSelected());
}

TEST(ResetView, BackDuringACountdownStopsItAndChangesOnlyThePage) {
    ResetPage page;
    page.desk.tick();
    const qint64 sat = page.tracker().totalSittingMinutes();
    QTest::mouseClick(page.view->startButton(), Qt::LeftButton);
    page.seconds(3);
    QTest::mouseClick(page.view->backButton(), Qt::LeftButton);
    EXPECT_FALSE(page.view->runner().isCounting());
    EXPECT_EQ(page.tracker().currentPage(), AppPage::dashboard);
    EXPECT_EQ(page.tracker().totalSittingMinutes(), sat);
    // A firing of the countdown's timer already queued changes nothing.
    const int left = page.view->runner().secondsLeft();
    page.view->runner().tick();
    EXPECT_EQ(page.view->runner().secondsLeft(), left);
}
