#include "Models/DayCoaching.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using DayCoaching::coachLine;

TEST(DayCoaching, CoachLineTakesTheFirstRuleThatHolds) {
    const QString fresh = u"Fresh start. Let's keep this clean."_s;
    const QString breaks = u"Solid break game today. Your body appreciates it."_s;
    EXPECT_EQ(coachLine(29, 20, RiskLevel::high), fresh);
    EXPECT_NE(coachLine(30, 0, RiskLevel::low), fresh);
    EXPECT_EQ(coachLine(40, 6, RiskLevel::low),
              u"You've been steady today. Let's keep it that way."_s);
    EXPECT_EQ(coachLine(40, 7, RiskLevel::low), breaks);
    EXPECT_EQ(coachLine(119, 0, RiskLevel::low),
              u"You've been steady today. Let's keep it that way."_s);
    EXPECT_EQ(coachLine(120, 0, RiskLevel::low),
              u"Cruising. Your spine is still rooting for you."_s);
    EXPECT_EQ(coachLine(400, 0, RiskLevel::medium),
              u"Building up. A quick reset goes a long way."_s);
    EXPECT_EQ(coachLine(400, 1, RiskLevel::medium),
              u"Getting deep. Your next break matters more than the last."_s);
    EXPECT_EQ(coachLine(500, 0, RiskLevel::high), u"Your chair is winning. Time to change that."_s);
    EXPECT_EQ(coachLine(500, 75, RiskLevel::high),
              u"Deep in the zone. Your body is keeping score."_s);
    EXPECT_EQ(coachLine(500, 76, RiskLevel::high), breaks);
}
