#pragma once

#include <QHashFunctions>
#include <QMetaType>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

// Today's sitting risk, graded from the day's whole sitting minutes.
enum class RiskLevel { low, medium, high };

// An sRGB colour, components 0…1, fully opaque; users apply their own opacity.
struct SrgbColor {
    double red = 0;
    double green = 0;
    double blue = 0;

    bool operator==(const SrgbColor&) const = default;
};

namespace RiskLevels {

// Under 6 hours of sitting is calm; from 8 hours on, strain.
inline constexpr std::int64_t mediumFromMinutes = 360;
inline constexpr std::int64_t highFromMinutes = 480;

RiskLevel forSittingMinutes(std::int64_t minutes);

QString rawValue(RiskLevel level);
// Exactly "low", "medium" or "high"; anything else is no level.
std::optional<RiskLevel> fromRawValue(const QString& raw);

QString badgeMark(RiskLevel level);
QString badgeWord(RiskLevel level);
SrgbColor accentColor(RiskLevel level);
QString dashboardSentence(RiskLevel level);

}  // namespace RiskLevels

// Hashes as its raw value does, so it agrees with the raw-value form wherever both are keys.
template <>
struct std::hash<RiskLevel> {
    std::size_t operator()(RiskLevel level) const noexcept {
        return qHash(RiskLevels::rawValue(level));
    }
};

Q_DECLARE_METATYPE(RiskLevel)
