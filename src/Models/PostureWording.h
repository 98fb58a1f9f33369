#pragma once

#include <QString>
#include <optional>

#include "Models/CameraProblem.h"
#include "Models/PostureVerdict.h"
#include "Models/RiskLevel.h"

// How the posture card puts the analyzer's verdict into words and colour.
namespace PostureWording {

enum class Tone { secondary, tertiary, good };

struct DetailLine {
    QString text;
    Tone tone = Tone::tertiary;

    bool operator==(const DetailLine&) const = default;
};

// The icon's colour; none for unknown, which is the desktop's plain grey.
std::optional<SrgbColor> statusColor(PostureStatus status);
// A slumped figure for poor posture, a standing one otherwise.
QString iconName(PostureStatus status);
DetailLine detailLine(PostureStatus status, std::optional<PostureIssue> worstIssue,
                      double deviation, bool calibrated);
// Why the camera is not measuring, in words a user can act on; on the posture card and the
// calibration page alike.
QString cameraProblemText(CameraProblem problem);
// Whether the user must act on the problem, or it passes by itself.
bool needsTheUser(CameraProblem problem);

}  // namespace PostureWording
