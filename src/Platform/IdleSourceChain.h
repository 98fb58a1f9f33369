#pragma once

#include <memory>
#include <vector>

#include "Platform/IdleSource.h"

// Desktops expose idle time in different ways; asks each source in turn and takes the first
// answer, so the same program works on GNOME, KDE and plain X11 sessions.
class IdleSourceChain final : public IdleSource {
public:
    explicit IdleSourceChain(std::vector<std::unique_ptr<IdleSource>> sources);

    std::optional<std::chrono::milliseconds> idleTime() override;

private:
    std::vector<std::unique_ptr<IdleSource>> sources_;
};
