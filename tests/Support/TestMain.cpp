#include <gtest/gtest.h>

#include <QCoreApplication>

// Timers and queued signals need an application object; the tests pump it themselves.
int main(int argc, char** argv) {
    // The simulated days are written in UTC, whatever zone the machine is in.
    qputenv("TZ", "UTC");
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
