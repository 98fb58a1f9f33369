#include "Platform/IdleSourceChain.h"

#include <QLoggingCategory>

namespace {
Q_LOGGING_CATEGORY(idleLog, "spindrel.idle", QtWarningMsg)
}  // namespace

IdleSourceChain::IdleSourceChain(std::vector<std::unique_ptr<IdleSource>> sources)
    : sources_(std::move(sources)) {}

std::optional<std::chrono::milliseconds> IdleSourceChain::idleTime() {
    for (const auto& source : sources_) {
        if (auto idle = source->idleTime()) {
            noteAnswer(source->name());
            return idle;
        }
    }
    noteAnswer(std::nullopt);
    return std::nullopt;
}

std::string IdleSourceChain::name() const {
    return answeredBy_.value_or("no idle source");
}

void IdleSourceChain::noteAnswer(std::optional<std::string> source) {
    if (asked_ && source == answeredBy_) {
        return;
    }
    asked_ = true;
    answeredBy_ = std::move(source);
    if (answeredBy_) {
        qCInfo(idleLog, "idle time from %s", answeredBy_->c_str());
    } else {
        qCInfo(idleLog, "no idle source answers");
    }
}
