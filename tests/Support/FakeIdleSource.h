#pragma once

#include "Platform/IdleSource.h"

class FakeIdleSource final : public IdleSource {
public:
    std::optional<std::chrono::milliseconds> idleTime() override { return idle; }

    std::optional<std::chrono::milliseconds> idle = std::chrono::milliseconds{0};
};
