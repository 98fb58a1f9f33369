#include "Platform/Linux/WaylandIdleSource.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>

#include "Support/HeadlessCompositor.h"
#include "Support/RealServices.h"

using namespace std::chrono_literals;
using Kind = HeadlessCompositor::Kind;

namespace {

// Short, so that the tests stay short; the waits around it are wide for a loaded machine.
constexpr std::chrono::milliseconds kTimeout = 2s;
constexpr int kWaitMs = 20000;

bool idleAtLeast(WaylandIdleSource& source, std::chrono::milliseconds least) {
    const auto idle = source.idleTime();
    return idle && *idle >= least;
}

// No events, then the compositor's idle notice, then typed input that ends the idleness.
void expectIdleThenBack(HeadlessCompositor& compositor, WaylandIdleSource& source) {
    // Before the compositor has said anything the user counts as present.
    EXPECT_EQ(source.idleTime(), 0ms);

    ASSERT_TRUE(QTest::qWaitFor([&] { return source.idleTime() != 0ms; }, kWaitMs))
        << "no idle notice";
    // Counted from when input stopped, not from when the notice came.
    const auto first = source.idleTime().value_or(0ms);
    EXPECT_GE(first, kTimeout);
    QTest::qWait(300);
    EXPECT_GT(source.idleTime().value_or(0ms), first) << "the idle time stood still";

    ASSERT_TRUE(compositor.pressKey());
    EXPECT_TRUE(QTest::qWaitFor([&] { return source.idleTime() == 0ms; }, kWaitMs))
        << "typing did not end the idleness";

    // The notification lives on: the next pause is seen too.
    EXPECT_TRUE(QTest::qWaitFor([&] { return idleAtLeast(source, kTimeout); }, kWaitMs));
}

}  // namespace

TEST(WaylandIdleSource, AbsentWithoutACompositor) {
    const QTemporaryDir empty;
    WaylandIdleSource source(empty.path() + QStringLiteral("/wayland-0"), kTimeout);
    EXPECT_EQ(source.idleTime(), std::nullopt);
    EXPECT_EQ(source.protocol(), std::nullopt);
    WaylandIdleSource unnamed(QString{}, kTimeout);
    EXPECT_EQ(unnamed.idleTime(), std::nullopt);
}

TEST(WaylandIdleSource, OnSwayIdlesThroughKdeIdleAndTypingEndsIt) {
    SPINDREL_REQUIRE_SERVICE(HeadlessCompositor::installed(Kind::sway),
                             "sway (Debian package sway)");
    HeadlessCompositor sway(Kind::sway);
    ASSERT_TRUE(sway.started()) << sway.failure().toStdString();
    WaylandIdleSource source(sway.socket(), kTimeout);
    // wlroots 0.15 offers only KWin's older protocol.
    EXPECT_EQ(source.protocol(), WaylandIdleSource::Protocol::kdeIdle);
    EXPECT_EQ(source.name(), "Wayland org_kde_kwin_idle");
    expectIdleThenBack(sway, source);
}

TEST(WaylandIdleSource, OnKWinPrefersExtIdleNotifyAndFollowsTheCompositorThroughACrash) {
    SPINDREL_REQUIRE_SERVICE(HeadlessCompositor::installed(Kind::kwin),
                             "KWin (Debian package kwin-wayland)");
    HeadlessCompositor kwin(Kind::kwin);
    ASSERT_TRUE(kwin.started()) << kwin.failure().toStdString();
    WaylandIdleSource source(kwin.socket(), kTimeout);
    EXPECT_EQ(source.protocol(), WaylandIdleSource::Protocol::extIdleNotify);
    EXPECT_EQ(source.name(), "Wayland ext_idle_notifier_v1");
    expectIdleThenBack(kwin, source);

    // Absent once the compositor is gone, answering again when it is back.
    kwin.kill();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !source.idleTime().has_value(); }, kWaitMs));
    EXPECT_EQ(source.protocol(), std::nullopt);
    ASSERT_TRUE(kwin.startAgain()) << kwin.failure().toStdString();
    EXPECT_EQ(source.idleTime(), 0ms);
    EXPECT_EQ(source.protocol(), WaylandIdleSource::Protocol::extIdleNotify);
    // A new notification on the new connection.
    EXPECT_TRUE(QTest::qWaitFor([&] { return idleAtLeast(source, kTimeout); }, kWaitMs));
}
