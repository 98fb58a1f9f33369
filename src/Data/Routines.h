#pragma once

#include <QString>
#include <QStringList>
#include <QUuid>
#include <array>
#include <chrono>
#include <optional>
#include <span>

class RandomSource;

// The kinds of reset, in the order the reset page offers them.
enum class RoutineCategory { walk, stairs, stretch, stand };

// One guided movement break.
struct Routine {
    QUuid id;  // fresh for every run of the program, never stored
    RoutineCategory category = RoutineCategory::walk;
    QString name;
    std::chrono::seconds duration{0};
    QStringList steps;
    QString tip;

    bool operator==(const Routine&) const = default;
};

namespace RoutineCategories {

inline constexpr std::array<RoutineCategory, 4> allCases = {
    RoutineCategory::walk, RoutineCategory::stairs, RoutineCategory::stretch,
    RoutineCategory::stand};

// "Walk", "Stairs", "Stretch", "Stand": also the label.
QString rawValue(RoutineCategory category);
// Exactly the four raw values, case and all; anything else yields none.
std::optional<RoutineCategory> fromRawValue(const QString& raw);
// The category's pictograph, one emoji.
QString emoji(RoutineCategory category);

}  // namespace RoutineCategories

// The eleven built-in resets.
namespace Routines {

// Built once, on first use, and never changed.
std::span<const Routine> all();
// One routine drawn uniformly from the category's, or from all when none is given.
Routine random(std::optional<RoutineCategory> category, RandomSource& random);

}  // namespace Routines
