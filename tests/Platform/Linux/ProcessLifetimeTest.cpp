#include <gtest/gtest.h>
#include <signal.h>

#include <QTemporaryDir>
#include <future>

#include "Platform/Linux/SingleInstance.h"
#include "Platform/Linux/TerminationSignals.h"
#include "Support/PostureBodies.h"

using namespace Qt::StringLiterals;

namespace {

// A later start, in its own thread as it would be in its own process.
std::future<SingleInstance::Role> startAnother(const QString& folder) {
    return std::async(std::launch::async, [folder] { return SingleInstance(folder).claim(); });
}

SingleInstance::Role awaitRole(std::future<SingleInstance::Role>& role) {
    waitUntil(
        [&] { return role.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready; });
    return role.get();
}

}  // namespace

TEST(SingleInstance, ALaterStartHandsOverToTheRunningOneAndTheNextAfterItIsPrimary) {
    QTemporaryDir folder;
    {
        SingleInstance first(folder.path());
        ASSERT_EQ(first.claim(), SingleInstance::Role::primary);
        int shows = 0;
        QObject::connect(&first, &SingleInstance::showRequested, [&shows] { ++shows; });

        auto second = startAnother(folder.path());
        EXPECT_EQ(awaitRole(second), SingleInstance::Role::secondary);
        EXPECT_EQ(shows, 1);
        auto third = startAnother(folder.path());
        EXPECT_EQ(awaitRole(third), SingleInstance::Role::secondary);
        EXPECT_EQ(shows, 2);
    }
    SingleInstance next(folder.path());
    EXPECT_EQ(next.claim(), SingleInstance::Role::primary);

    // A folder it cannot use lets the app run on its own.
    SingleInstance lonely(u"/proc/spindrel-cannot-be-here"_s);
    EXPECT_EQ(lonely.claim(), SingleInstance::Role::unavailable);
}

TEST(TerminationSignals, TermAndIntArriveOnTheEventLoop) {
    TerminationSignals termination;
    ASSERT_TRUE(termination.isActive());
    std::vector<int> received;
    QObject::connect(&termination, &TerminationSignals::terminationRequested,
                     [&received](int number) { received.push_back(number); });
    ASSERT_EQ(::raise(SIGTERM), 0);  // blocked: it waits for the event loop, not the default
    ASSERT_EQ(::raise(SIGINT), 0);
    ASSERT_TRUE(waitUntil([&] { return received.size() == 2; }));
    EXPECT_EQ(received, (std::vector<int>{SIGINT, SIGTERM}));
}
