#pragma once

#include <QString>

#include "Models/RiskLevel.h"

// The dashboard's words about the day: the coaching line, the risk line and bar, and the
// exercise card's status.
namespace DayCoaching {

QString coachLine(qint64 sittingMinutes, qint64 breakMinutes, RiskLevel risk);
QString riskLine(RiskLevel risk);
// How far the risk bar reaches, 0…1.
double riskBarProgress(RiskLevel risk);
QString offsetStatus(qint64 neededMinutes, qint64 loggedMinutes);
// The exercise still owed makes the status line plain; none owed or all done, it is green.
bool offsetStillOwed(qint64 neededMinutes, qint64 loggedMinutes);
// Said while the desktop gives no idle time, so that counted sitting is not taken for measured.
QString idleTimeUnavailable();

}  // namespace DayCoaching
