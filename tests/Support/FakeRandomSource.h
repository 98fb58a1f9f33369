#pragma once

#include <deque>

#include "Platform/RandomSource.h"

// Hands out the queued values in order, then zeros.
class FakeRandomSource final : public RandomSource {
public:
    std::uint64_t next64() override {
        ++draws;
        if (queued.empty()) {
            return 0;
        }
        const std::uint64_t value = queued.front();
        queued.pop_front();
        return value;
    }

    std::deque<std::uint64_t> queued;
    int draws = 0;
};
