#include "Platform/Linux/PoseNetworkModule.h"

#include <gtest/gtest.h>

// The successful path is the posture pipeline's: it opens the network through the module.

TEST(PoseNetworkModule, EachWayOfFailingGivesNoDetectorAndSaysWhy) {
    struct Case {
        const char* what;
        QString module;
        std::string model;
        QString expectedInFailure;
    };
    const QString missingModule = QStringLiteral("/nonexistent/libspindrel_pose.so");
    // A real library without our entry point.
    const QString otherLibrary = QStringLiteral("libz.so.1");
    const Case cases[] = {
        {"no module", missingModule, SPINDREL_POSE_MODEL, missingModule},
        {"not our module", otherLibrary, SPINDREL_POSE_MODEL,
         QString::fromLatin1(PoseNetworkModule::kEntryPointName)},
        {"no model", QStringLiteral(SPINDREL_POSE_MODULE), "/nonexistent/pose.onnx",
         QStringLiteral("/nonexistent/pose.onnx")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PoseNetworkModule::Loaded loaded = PoseNetworkModule::load(c.module, c.model, 1);
        EXPECT_EQ(loaded.detector, nullptr);
        EXPECT_TRUE(loaded.failure.contains(c.expectedInFailure)) << loaded.failure.toStdString();
    }
}

TEST(PoseNetworkModule, OpensTheNetworkEachTimeItIsAskedFromOneLoadedModule) {
    // Posture tracking switched off and on again opens the network anew.
    for (int time = 0; time < 2; ++time) {
        const PoseNetworkModule::Loaded loaded =
            PoseNetworkModule::load(QStringLiteral(SPINDREL_POSE_MODULE), SPINDREL_POSE_MODEL, 1);
        ASSERT_NE(loaded.detector, nullptr) << loaded.failure.toStdString();
        EXPECT_TRUE(loaded.failure.isEmpty());
    }
}
