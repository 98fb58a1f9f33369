#include "Models/PostureVerdict.h"

#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

const std::array<std::pair<PostureStatus, QString>, 4>& statusTable() {
    static const std::array<std::pair<PostureStatus, QString>, 4> table{{
        {PostureStatus::good, u"Good"_s},
        {PostureStatus::fair, u"Fair"_s},
        {PostureStatus::poor, u"Poor"_s},
        {PostureStatus::unknown, u"Unknown"_s},
    }};
    return table;
}

const std::array<std::pair<PostureIssue, QString>, 3>& issueTable() {
    static const std::array<std::pair<PostureIssue, QString>, 3> table{{
        {PostureIssue::headTilt, u"Head Tilt"_s},
        {PostureIssue::shoulderAlignment, u"Shoulder Alignment"_s},
        {PostureIssue::slouch, u"Slouch"_s},
    }};
    return table;
}

template <typename Table, typename Case>
QString rawOf(const Table& table, Case value) {
    for (const auto& [entry, raw] : table) {
        if (entry == value) {
            return raw;
        }
    }
    return {};
}

template <typename Table>
auto caseOf(const Table& table, const QString& raw)
    -> std::optional<typename Table::value_type::first_type> {
    for (const auto& [entry, text] : table) {
        if (text == raw) {
            return entry;
        }
    }
    return std::nullopt;
}

}  // namespace

namespace PostureVerdicts {

QString rawValue(PostureStatus status) {
    return rawOf(statusTable(), status);
}

QString rawValue(PostureIssue issue) {
    return rawOf(issueTable(), issue);
}

std::optional<PostureStatus> statusFromRawValue(const QString& raw) {
    return caseOf(statusTable(), raw);
}

std::optional<PostureIssue> issueFromRawValue(const QString& raw) {
    return caseOf(issueTable(), raw);
}

}  // namespace PostureVerdicts
