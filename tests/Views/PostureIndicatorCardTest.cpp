#include "Views/PostureIndicatorCard.h"

#include <gtest/gtest.h>

#include <QTest>

#include "Components/GlassTheme.h"
#include "Support/PageDesk.h"
#include "Views/LinkButton.h"

using namespace Qt::StringLiterals;

namespace {

struct Card {
    PageDesk desk;
    std::unique_ptr<PostureIndicatorCard> card;

    explicit Card(bool calibrated) {
        if (calibrated) {
            desk.storeCalibration();
        }
        desk.settings.setBoolean(u"postureTrackingEnabled"_s, true);
        desk.open();
        card = std::make_unique<PostureIndicatorCard>(*desk.tracker, desk.context);
        card->resize(320, 120);
        card->show();
        waitUntil([this] { return desk.tracker->postureCamera().isRunning(); });
    }
};

QColor srgb(double red, double green, double blue) {
    return GlassTheme::fromSrgb({red, green, blue});
}

}  // namespace

TEST(PostureIndicatorCard, AFreshInstallAsksForABaselineUntilOneIsKept) {
    Card card(false);
    EXPECT_EQ(card.card->iconName(), u"figure.stand"_s);
    EXPECT_EQ(card.card->iconColor(), GlassTheme::standardGray());
    EXPECT_EQ(card.card->statusText(), u"Unknown"_s);
    EXPECT_EQ(card.card->detailText(), u"Set your baseline. Sit like you mean it."_s);
    EXPECT_EQ(card.card->detailColor(), GlassTheme::tertiaryText());
    EXPECT_TRUE(card.card->offersCalibration());

    QTest::mouseClick(card.card->findChild<LinkButton*>(), Qt::LeftButton);
    EXPECT_EQ(card.desk.tracker->currentPage(), AppPage::calibration);
    ASSERT_TRUE(card.desk.see(0.0));
    card.desk.tracker->postureCamera().calibrate();
    EXPECT_FALSE(card.card->offersCalibration());
}

TEST(PostureIndicatorCard, FollowsTheAnalyzersVerdictAsItArrives) {
    Card card(true);
    // The verdict is published after the tick's own announcements: the card must hear it
    // from the analyzer.
    ASSERT_TRUE(card.desk.tickSeeing(1.0));
    EXPECT_EQ(card.card->statusText(), u"Good"_s);
    EXPECT_EQ(card.card->iconColor(), srgb(0.2, 0.55, 0.3));
    EXPECT_EQ(card.card->detailText(), u"Spine aligned. Confidence unlocked."_s);
    EXPECT_EQ(card.card->detailColor(), GlassTheme::success());

    ASSERT_TRUE(card.desk.tickSeeing(0.0, 12.5, 90.0));
    EXPECT_EQ(card.card->statusText(), u"Fair"_s);
    EXPECT_EQ(card.card->iconName(), u"figure.stand"_s);
    EXPECT_EQ(card.card->iconColor(), srgb(0.7, 0.6, 0.1));
    EXPECT_EQ(card.card->detailText(), u"Shoulder Alignment — 12° off. Your body noticed."_s);
    EXPECT_EQ(card.card->detailColor(), GlassTheme::secondaryText());

    ASSERT_TRUE(card.desk.tickSeeing(0.0, 0.0, 121.2));
    EXPECT_EQ(card.card->statusText(), u"Poor"_s);
    EXPECT_EQ(card.card->iconName(), u"figure.roll"_s);
    EXPECT_EQ(card.card->iconColor(), srgb(0.7, 0.2, 0.2));
    EXPECT_EQ(card.card->detailText(), u"Slouch — 31° off. Your body noticed."_s);
    ASSERT_TRUE(card.desk.tickSeeing(17.8));
    EXPECT_EQ(card.card->detailText(), u"Head Tilt — 17° off. Your body noticed."_s);
}
