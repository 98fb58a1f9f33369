#include "Platform/IdleSourceChain.h"

#include <gtest/gtest.h>

#include "Support/FakeIdleSource.h"

using namespace std::chrono_literals;

TEST(IdleSourceChain, TheFirstSourceThatAnswersWins) {
    auto silent = std::make_unique<FakeIdleSource>();
    silent->idle.reset();
    auto second = std::make_unique<FakeIdleSource>();
    second->idle = 42s;
    auto third = std::make_unique<FakeIdleSource>();
    third->idle = 7s;
    FakeIdleSource* secondSource = second.get();

    std::vector<std::unique_ptr<IdleSource>> sources;
    sources.push_back(std::move(silent));
    sources.push_back(std::move(second));
    sources.push_back(std::move(third));
    IdleSourceChain chain(std::move(sources));
    EXPECT_EQ(chain.idleTime(), 42s);

    secondSource->idle.reset();
    EXPECT_EQ(chain.idleTime(), 7s);
    EXPECT_EQ(IdleSourceChain({}).idleTime(), std::nullopt);
}
