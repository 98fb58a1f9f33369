#include "Platform/IdleSourceChain.h"

#include <gtest/gtest.h>

#include "Support/CapturedWarnings.h"
#include "Support/FakeIdleSource.h"

using namespace std::chrono_literals;

TEST(IdleSourceChain, TheFirstSourceThatAnswersWinsAndEachChangeOfSourceIsLogged) {
    EXPECT_EQ(IdleSourceChain({}).idleTime(), std::nullopt);

    auto compositor = std::make_unique<FakeIdleSource>("compositor");
    auto screenSaver = std::make_unique<FakeIdleSource>("screen saver");
    FakeIdleSource* first = compositor.get();
    FakeIdleSource* second = screenSaver.get();
    first->idle = 42s;
    second->idle = 7s;
    std::vector<std::unique_ptr<IdleSource>> sources;
    sources.push_back(std::move(compositor));
    sources.push_back(std::move(screenSaver));
    IdleSourceChain chain(std::move(sources));
    EXPECT_EQ(chain.answeredBy(), std::nullopt);

    const CapturedWarnings log(QLatin1StringView("spindrel.idle"));
    EXPECT_EQ(chain.idleTime(), 42s);
    chain.idleTime();
    EXPECT_EQ(chain.answeredBy(), "compositor");
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_TRUE(log.lines.last().contains(QStringLiteral("compositor")));

    first->idle.reset();
    EXPECT_EQ(chain.idleTime(), 7s);
    EXPECT_EQ(chain.name(), "screen saver");
    ASSERT_EQ(log.lines.size(), 2);
    EXPECT_TRUE(log.lines.last().contains(QStringLiteral("screen saver")));

    second->idle.reset();
    EXPECT_EQ(chain.idleTime(), std::nullopt);
    chain.idleTime();
    EXPECT_EQ(chain.answeredBy(), std::nullopt);
    EXPECT_EQ(log.lines.size(), 3);
}
