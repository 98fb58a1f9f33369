#include "Models/DayCoaching.h"

using namespace Qt::StringLiterals;

namespace DayCoaching {

QString coachLine(qint64 sittingMinutes, qint64 breakMinutes, RiskLevel risk) {
    if (sittingMinutes < 30) {
        return u"Fresh start. Let's keep this clean."_s;
    }
    if (breakMinutes >= 1 &&
        static_cast<double>(breakMinutes) / static_cast<double>(sittingMinutes) > 0.15) {
        return u"Solid break game today. Your body appreciates it."_s;
    }
    switch (risk) {
        case RiskLevel::low:
            return sittingMinutes < 120 ? u"You've been steady today. Let's keep it that way."_s
                                        : u"Cruising. Your spine is still rooting for you."_s;
        case RiskLevel::medium:
            return breakMinutes == 0
                       ? u"Building up. A quick reset goes a long way."_s
                       : u"Getting deep. Your next break matters more than the last."_s;
        case RiskLevel::high:
            return breakMinutes == 0 ? u"Your chair is winning. Time to change that."_s
                                     : u"Deep in the zone. Your body is keeping score."_s;
    }
    return {};
}

QString riskLine(RiskLevel risk) {
    return RiskLevels::dashboardSentence(risk);
}

double riskBarProgress(RiskLevel risk) {
    switch (risk) {
        case RiskLevel::low:
            return 0.25;
        case RiskLevel::medium:
            return 0.55;
        case RiskLevel::high:
            return 0.90;
    }
    return 0.0;
}

QString offsetStatus(qint64 neededMinutes, qint64 loggedMinutes) {
    if (neededMinutes == 0) {
        return u"You're ahead of the chair. Stay that way."_s;
    }
    if (loggedMinutes < neededMinutes) {
        return QString::number(neededMinutes - loggedMinutes) +
               u"m of movement stands between you and regret."_s;
    }
    return u"Your future back says thank you."_s;
}

bool offsetStillOwed(qint64 neededMinutes, qint64 loggedMinutes) {
    return neededMinutes > 0 && loggedMinutes < neededMinutes;
}

QString idleTimeUnavailable() {
    return u"Can't see keyboard and mouse idle time on this desktop \u2014 every minute counts as "
           u"sitting."_s;
}

}  // namespace DayCoaching
