#include "Platform/RandomSource.h"

#include <gtest/gtest.h>

#include <limits>

#include "Support/FakeRandomSource.h"

TEST(RandomSource, DrawsAboveTheLastWholeMultipleAreRejectedAndIndicesStayInRange) {
    constexpr auto max = std::numeric_limits<std::uint64_t>::max();
    FakeRandomSource random;
    // 2^64 mod 80 = 16: the top 16 values would favour indices 0…15.
    random.queued = {max, max - 15, max - 16};
    EXPECT_EQ(random.uniformIndex(80), (max - 16) % 80);
    EXPECT_EQ(random.draws, 3);

    // A power of two divides 2^64: nothing is rejected.
    random.queued = {max};
    random.draws = 0;
    EXPECT_EQ(random.uniformIndex(8), 7u);
    EXPECT_EQ(random.draws, 1);

    // One choice, or none, needs no draw.
    random.draws = 0;
    EXPECT_EQ(random.uniformIndex(1), 0u);
    EXPECT_EQ(random.uniformIndex(0), 0u);
    EXPECT_EQ(random.draws, 0);
}
