#include "Models/RiskLevel.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

// Everything a level shows, in one row a level.
struct LevelFace {
    QString raw;
    QString mark;
    QString word;
    SrgbColor accent;
    QString sentence;
};

const LevelFace& face(RiskLevel level) {
    static const std::array<LevelFace, 3> faces{{
        {u"low"_s,
         u"🟢"_s,
         u"Calm"_s,
         {0.42, 0.80, 0.47},
         u"Your spine is still on speaking terms with you."_s},
        {u"medium"_s,
         u"🟡"_s,
         u"Build-up"_s,
         {1.0, 0.79, 0.28},
         u"Your chair is plotting against you. Move before it wins."_s},
        {u"high"_s,
         u"🔴"_s,
         u"Strain"_s,
         {1.0, 0.42, 0.42},
         u"Your body filed a grievance. Time to negotiate."_s},
    }};
    return faces[static_cast<std::size_t>(level)];
}

}  // namespace

RiskLevel RiskLevels::forSittingMinutes(std::int64_t minutes) {
    if (minutes < mediumFromMinutes) {
        return RiskLevel::low;
    }
    return minutes < highFromMinutes ? RiskLevel::medium : RiskLevel::high;
}

QString RiskLevels::rawValue(RiskLevel level) {
    return face(level).raw;
}

std::optional<RiskLevel> RiskLevels::fromRawValue(const QString& raw) {
    for (RiskLevel level : {RiskLevel::low, RiskLevel::medium, RiskLevel::high}) {
        if (raw == rawValue(level)) {
            return level;
        }
    }
    return std::nullopt;
}

QString RiskLevels::badgeMark(RiskLevel level) {
    return face(level).mark;
}

QString RiskLevels::badgeWord(RiskLevel level) {
    return face(level).word;
}

SrgbColor RiskLevels::accentColor(RiskLevel level) {
    return face(level).accent;
}

QString RiskLevels::dashboardSentence(RiskLevel level) {
    return face(level).sentence;
}
