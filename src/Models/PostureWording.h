#pragma once

#include <QString>
#include <optional>

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

}  // namespace PostureWording
