#include "Models/RiskLevel.h"

using namespace Qt::StringLiterals;

RiskLevel RiskLevels::forSittingMinutes(std::int64_t minutes) {
    if (minutes < mediumFromMinutes) {
        return RiskLevel::low;
    }
    return minutes < highFromMinutes ? RiskLevel::medium : RiskLevel::high;
}

QString RiskLevels::rawValue(RiskLevel level) {
    switch (level) {
        case RiskLevel::low:
            return u"low"_s;
        case RiskLevel::medium:
            return u"medium"_s;
        case RiskLevel::high:
            return u"high"_s;
    }
    return {};
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
    switch (level) {
        case RiskLevel::low:
            return u"🟢"_s;
        case RiskLevel::medium:
            return u"🟡"_s;
        case RiskLevel::high:
            return u"🔴"_s;
    }
    return {};
}

QString RiskLevels::badgeWord(RiskLevel level) {
    switch (level) {
        case RiskLevel::low:
            return u"Calm"_s;
        case RiskLevel::medium:
            return u"Build-up"_s;
        case RiskLevel::high:
            return u"Strain"_s;
    }
    return {};
}

SrgbColor RiskLevels::accentColor(RiskLevel level) {
    switch (level) {
        case RiskLevel::low:
            return {0.42, 0.80, 0.47};
        case RiskLevel::medium:
            return {1.0, 0.79, 0.28};
        case RiskLevel::high:
            return {1.0, 0.42, 0.42};
    }
    return {};
}

QString RiskLevels::dashboardSentence(RiskLevel level) {
    switch (level) {
        case RiskLevel::low:
            return u"Your spine is still on speaking terms with you."_s;
        case RiskLevel::medium:
            return u"Your chair is plotting against you. Move before it wins."_s;
        case RiskLevel::high:
            return u"Your body filed a grievance. Time to negotiate."_s;
    }
    return {};
}
