#include "Platform/Linux/XScreenSaverIdleSource.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <thread>

#include "Support/RealServices.h"

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {
bool runXdotool(const QStringList& arguments) {
    return QProcess::execute(u"xdotool"_s, arguments) == 0;
}
}  // namespace

TEST(XScreenSaverIdleSource, IdleGrowsUnderTheXServerAndInputResetsIt) {
    SPINDREL_REQUIRE_SERVICE(!qEnvironmentVariableIsEmpty("DISPLAY"), "an X display");
    XScreenSaverIdleSource source;
    ASSERT_TRUE(runXdotool({u"mousemove"_s, u"10"_s, u"10"_s}));
    std::this_thread::sleep_for(1500ms);
    const auto before = source.idleTime();
    ASSERT_TRUE(before.has_value());
    EXPECT_GE(*before, 1400ms);

    ASSERT_TRUE(runXdotool({u"mousemove"_s, u"200"_s, u"150"_s}));
    const auto afterMouse = source.idleTime();
    ASSERT_TRUE(afterMouse.has_value());
    EXPECT_LT(*afterMouse, 500ms);

    std::this_thread::sleep_for(800ms);
    ASSERT_TRUE(runXdotool({u"key"_s, u"shift"_s}));
    EXPECT_LT(*source.idleTime(), 500ms);
}
