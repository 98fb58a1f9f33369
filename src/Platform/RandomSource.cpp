#include "Platform/RandomSource.h"

#include <limits>

std::size_t RandomSource::uniformIndex(std::size_t count) {
    if (count <= 1) {
        return 0;
    }
    const auto range = static_cast<std::uint64_t>(count);
    constexpr auto max = std::numeric_limits<std::uint64_t>::max();
    // 2^64 mod range: that many values at the top would wrap onto the low indices and
    // favour them, so they are drawn again.
    const std::uint64_t surplus = (max % range + 1) % range;
    std::uint64_t draw = next64();
    while (surplus != 0 && draw > max - surplus) {
        draw = next64();
    }
    return static_cast<std::size_t>(draw % range);
}
