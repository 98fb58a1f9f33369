#include <gtest/gtest.h>

#include <QApplication>

// Widgets are drawn offscreen, at the size and with the fonts a desktop would give them.
int main(int argc, char** argv) {
    qputenv("TZ", "UTC");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
