#include <gtest/gtest.h>

#include "Data/PostureMessages.h"
#include "Models/PostureAnalyzer.h"
#include "Support/FakeIdleSource.h"
#include "Support/FakeNotifier.h"
#include "Support/FakeRandomSource.h"
#include "Support/PostureRig.h"

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// An analyzer over a running fake camera, with a user who is not typing.
class AnalyzerRig : public PostureRig {
public:
    FakeIdleSource idle;
    FakeNotifier notifier;
    FakeRandomSource random;
    std::unique_ptr<PostureAnalyzer> analyzer;

    explicit AnalyzerRig(double headBaseline = 0.0, double shoulderBaseline = 0.0,
                         double slouchBaseline = 90.0) {
        settings.put(u"postureCalibrated"_s, true);
        settings.put(u"baselineHeadTilt"_s, headBaseline);
        settings.put(u"baselineShoulderTilt"_s, shoulderBaseline);
        settings.put(u"baselineSlouchAngle"_s, slouchBaseline);
        camera->loadCalibration();
        idle.idle = 60s;
        analyzer = std::make_unique<PostureAnalyzer>(
            *camera, AnalyzerServices{clock, idle, notifier, random});
        EXPECT_TRUE(startCamera());
    }

    void analyze() {
        analyzer->analyze();
        QCoreApplication::processEvents();
    }

    // Measurements every 4 s for this long, then one analysis.
    void holdThenAnalyze(std::chrono::seconds hold, double headTilt) {
        for (auto held = 0s; held < hold; held += 4s) {
            ASSERT_TRUE(measure(headTilt, 0.0, 90.0));
        }
        analyze();
    }
};

}  // namespace

TEST(PostureAnalyzer, GradesTheWorstDeviationTheShortWayRoundAndTiesGoToTheEarlierIssue) {
    // Baselines against one measurement: upright readings are exactly 0° of tilt, so the
    // baselines set the deviations exactly.
    struct Case {
        double head, shoulder, slouch, measuredHead;
        PostureStatus status;
        std::optional<PostureIssue> issue;
        double deviation;
    };
    const auto head = PostureIssue::headTilt;
    for (const Case& c : {
             Case{-9.99, 0, 90, 0, PostureStatus::good, std::nullopt, 9.99},
             Case{-10, 0, 90, 0, PostureStatus::fair, head, 10},
             Case{-15, 0, 90, 0, PostureStatus::poor, head, 15},
             Case{-25, 0, 90, 0, PostureStatus::poor, head, 25},
             Case{179, 0, 90, -179, PostureStatus::good, std::nullopt, 2},
             Case{-12, -12, 87, 0, PostureStatus::fair, head, 12},
             Case{-12, -12, 78, 0, PostureStatus::fair, head, 12},
             Case{-5, -12, 78, 0, PostureStatus::fair, PostureIssue::shoulderAlignment, 12},
             Case{-5, -12, 70, 0, PostureStatus::poor, PostureIssue::slouch, 20},
         }) {
        SCOPED_TRACE(testing::Message() << c.head << " " << c.shoulder << " " << c.slouch);
        AnalyzerRig rig(c.head, c.shoulder, c.slouch);
        ASSERT_TRUE(rig.measure(c.measuredHead, 0.0, 90.0));
        rig.analyzer->analyze();
        EXPECT_EQ(rig.analyzer->postureStatus(), PostureStatus::unknown);  // published later
        QCoreApplication::processEvents();
        EXPECT_EQ(rig.analyzer->postureStatus(), c.status);
        EXPECT_EQ(rig.analyzer->worstIssue(), c.issue);
        EXPECT_NEAR(rig.analyzer->currentDeviation(), c.deviation, 1e-9);
    }
}

TEST(PostureAnalyzer, WithoutACurrentSnapshotTheStatusIsUnknownAndTheRestStays) {
    AnalyzerRig rig;
    rig.analyze();
    EXPECT_EQ(rig.analyzer->postureStatus(), PostureStatus::unknown);

    ASSERT_TRUE(rig.measure(12.0, 0.0, 90.0));
    rig.analyze();
    ASSERT_EQ(rig.analyzer->postureStatus(), PostureStatus::fair);

    rig.camera->stop();  // the user switched off; the last measurement grows old
    rig.clock.advance(PostureCamera::snapshotFreshness + 1s);
    rig.analyze();
    EXPECT_EQ(rig.analyzer->postureStatus(), PostureStatus::unknown);
    EXPECT_EQ(rig.analyzer->worstIssue(), PostureIssue::headTilt);
    EXPECT_NEAR(rig.analyzer->currentDeviation(), 12.0, 1e-9);
}

TEST(PostureAnalyzer, NotifiesOnlyWhenTheDeviationHasLasted) {
    AnalyzerRig rig;
    // Two recent measurements are not enough, whatever they show.
    rig.holdThenAnalyze(8s, 20.0);
    EXPECT_EQ(rig.analyzer->postureStatus(), PostureStatus::poor);
    EXPECT_TRUE(rig.notifier.posted.empty());

    // Good posture for a minute, then a slump in only the last two of six: not sustained.
    rig.holdThenAnalyze(60s, 0.0);
    rig.holdThenAnalyze(16s, 0.0);
    rig.holdThenAnalyze(8s, 20.0);
    EXPECT_TRUE(rig.notifier.posted.empty());

    // Held for a minute: sustained, and a head-tilt message goes out.
    rig.holdThenAnalyze(60s, 20.0);
    ASSERT_EQ(rig.notifier.posted.size(), 1U);
    const auto catalogue = PostureMessages::forIssue(PostureIssue::headTilt);
    EXPECT_NE(std::find(catalogue.begin(), catalogue.end(), rig.notifier.posted.front()),
              catalogue.end());
}

TEST(PostureAnalyzer, SevereCountsOnlyTheLastHalfMinute) {
    AnalyzerRig rig;
    // 40 s upright, then 16 s badly tilted: of the last 30 s, 4 of 7 deviate; of the last
    // 60 s only 4 of 14. Neither is sustained; 20 s more make it so for severe.
    rig.holdThenAnalyze(40s, 0.0);
    rig.holdThenAnalyze(16s, 30.0);
    EXPECT_TRUE(rig.notifier.posted.empty());
    rig.holdThenAnalyze(8s, 30.0);
    EXPECT_EQ(rig.notifier.posted.size(), 1U);
}

TEST(PostureAnalyzer, CooldownsCountFromTheLastPostureNotification) {
    AnalyzerRig rig;
    rig.holdThenAnalyze(60s, 20.0);
    ASSERT_EQ(rig.notifier.posted.size(), 1U);
    // Moderate waits 300 s, severe 180 s; measured every 4 s all along, so at the allowed
    // second the last measurement is 4 s old, still current.
    std::size_t posted = 1;
    for (const auto& [tilt, cooldown] : {std::pair{20.0, 300s}, std::pair{40.0, 180s}}) {
        SCOPED_TRACE(tilt);
        rig.holdThenAnalyze(cooldown - 4s, tilt);
        rig.clock.advance(3s);  // a second short
        rig.analyze();
        EXPECT_EQ(rig.notifier.posted.size(), posted);
        rig.clock.advance(1s);
        rig.analyze();
        EXPECT_EQ(rig.notifier.posted.size(), ++posted);
    }
}

TEST(PostureAnalyzer, AtMostThreeAnHour) {
    AnalyzerRig rig;
    for (int i = 0; i < 3; ++i) {
        rig.holdThenAnalyze(12s, 40.0);
        rig.clock.advance(10min);
    }
    ASSERT_EQ(rig.notifier.posted.size(), 3U);
    // The first went out at 12 s; these analyses come 3576 s and 3608 s after it.
    rig.clock.advance(29min);
    rig.holdThenAnalyze(12s, 40.0);
    EXPECT_EQ(rig.notifier.posted.size(), 3U);
    rig.clock.advance(20s);
    rig.holdThenAnalyze(12s, 40.0);
    EXPECT_EQ(rig.notifier.posted.size(), 4U);
}

// Held back while the user types, or while nobody can show it; neither starts a cooldown.
TEST(PostureAnalyzer, WaitsForATypingPauseAndANotificationService) {
    for (const bool typing : {true, false}) {
        SCOPED_TRACE(typing ? "typing" : "no notification service");
        AnalyzerRig rig;
        rig.idle.idle = typing ? 4900ms : 60s;
        rig.notifier.available = typing;
        rig.holdThenAnalyze(12s, 40.0);
        EXPECT_TRUE(rig.notifier.posted.empty());
        rig.idle.idle = 5000ms;
        rig.notifier.available = true;
        rig.analyze();
        EXPECT_EQ(rig.notifier.posted.size(), 1U);
    }
}

TEST(PostureAnalyzer, AWallClockSetBackDoesNotSilenceIt) {
    AnalyzerRig rig;
    rig.holdThenAnalyze(12s, 40.0);
    ASSERT_EQ(rig.notifier.posted.size(), 1U);
    rig.clock.setWall(rig.clock.now().addSecs(-3 * 3600));
    rig.holdThenAnalyze(180s, 40.0);
    EXPECT_EQ(rig.notifier.posted.size(), 2U);
}
