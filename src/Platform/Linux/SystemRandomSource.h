#pragma once

#include "Platform/RandomSource.h"

// The kernel's random source, through Qt.
class SystemRandomSource final : public RandomSource {
public:
    std::uint64_t next64() override;
};
