#include "Platform/HeadTiltPoseDetector.h"
#include "Platform/Linux/BlazePoseDetector.h"
#include "Platform/Linux/PoseNetworkModule.h"

#include <QtGlobal>
#include <type_traits>

// The pose network module's one export; its name is PoseNetworkModule::kEntryPointName.
extern "C" Q_DECL_EXPORT PoseDetector* spindrel_create_pose_detector(const char* modelPath,
                                                                     int threads) {
    // Ownership passes to PoseNetworkModule::load, which holds it in a unique_ptr at once.
    std::unique_ptr<PoseDetector> network = BlazePoseDetector::create(modelPath, threads);
    if (!network) {
        return nullptr;
    }
    return std::make_unique<HeadTiltPoseDetector>(std::move(network)).release();
}

// The loader casts the resolved symbol to this type; keep the two from drifting apart.
static_assert(
    std::is_same_v<decltype(&spindrel_create_pose_detector), PoseNetworkModule::EntryPoint>);
