#include "Models/RiskLevel.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(RiskLevel, GradesTheDaysSittingAtSixAndEightHoursEachWithItsMarkWordAndColour) {
    const std::pair<qint64, RiskLevel> table[] = {
        {0, RiskLevel::low},      {359, RiskLevel::low},  {360, RiskLevel::medium},
        {479, RiskLevel::medium}, {480, RiskLevel::high}, {2000, RiskLevel::high}};
    for (const auto& [minutes, level] : table) {
        EXPECT_EQ(RiskLevels::forSittingMinutes(minutes), level) << minutes;
    }
    EXPECT_EQ(RiskLevels::badgeMark(RiskLevel::low) + RiskLevels::badgeWord(RiskLevel::low),
              u"🟢Calm"_s);
    EXPECT_EQ(RiskLevels::badgeMark(RiskLevel::medium) + RiskLevels::badgeWord(RiskLevel::medium),
              u"🟡Build-up"_s);
    EXPECT_EQ(RiskLevels::badgeMark(RiskLevel::high) + RiskLevels::badgeWord(RiskLevel::high),
              u"🔴Strain"_s);
    EXPECT_EQ(RiskLevels::accentColor(RiskLevel::medium), (SrgbColor{1.0, 0.79, 0.28}));
}
