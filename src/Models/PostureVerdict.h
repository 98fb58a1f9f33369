#pragma once

#include <QHashFunctions>
#include <QString>
#include <optional>

// The overall posture verdict; the raw value is also its display text.
enum class PostureStatus { good, fair, poor, unknown };
// Which measurement deviates most; the raw value is also shown to the user.
enum class PostureIssue { headTilt, shoulderAlignment, slouch };
enum class PostureSeverity { mild, moderate, severe };

namespace PostureVerdicts {

QString rawValue(PostureStatus status);
QString rawValue(PostureIssue issue);
// Exactly the raw texts; anything else yields none.
std::optional<PostureStatus> statusFromRawValue(const QString& raw);
std::optional<PostureIssue> issueFromRawValue(const QString& raw);

}  // namespace PostureVerdicts
