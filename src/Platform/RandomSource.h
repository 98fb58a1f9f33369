#pragma once

#include <cstddef>
#include <cstdint>

// Uniform randomness for message, fact and routine picks.
class RandomSource {
public:
    virtual ~RandomSource() = default;

    // 64 uniformly random bits.
    virtual std::uint64_t next64() = 0;

    // A uniform index in [0, count), by rejection so that no index is favoured.
    // count must be at least 1.
    std::size_t uniformIndex(std::size_t count);
};
