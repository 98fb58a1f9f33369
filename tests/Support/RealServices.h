#pragma once

#include <gtest/gtest.h>

#include <QtGlobal>

// The test command starts Xvfb, a session bus and a notification daemon and says so; there a
// missing service is a failure. Run by hand without them, the test is skipped.
#define SPINDREL_REQUIRE_SERVICE(available, what)                      \
    do {                                                               \
        if (!(available)) {                                            \
            if (qEnvironmentVariableIsSet("SPINDREL_TEST_SERVICES")) { \
                FAIL() << "missing " << (what);                        \
            }                                                          \
            GTEST_SKIP() << "needs " << (what);                        \
        }                                                              \
    } while (false)
