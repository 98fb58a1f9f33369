#include "Platform/IdleSourceChain.h"

IdleSourceChain::IdleSourceChain(std::vector<std::unique_ptr<IdleSource>> sources)
    : sources_(std::move(sources)) {}

std::optional<std::chrono::milliseconds> IdleSourceChain::idleTime() {
    for (const auto& source : sources_) {
        if (auto idle = source->idleTime()) {
            return idle;
        }
    }
    return std::nullopt;
}
