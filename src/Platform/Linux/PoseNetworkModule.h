#pragma once

#include "Platform/PoseDetector.h"

#include <QString>
#include <memory>
#include <string>

// The pose network and XNNPACK live in a module of their own that is opened only when posture
// tracking first starts: a day of plain sitting tracking never maps them, and they are most of
// what the idle app would otherwise hold in memory.
namespace PoseNetworkModule {

// What the module exports: a detector for the model file, or null when the model cannot be
// loaded. The caller owns the detector; the module stays loaded for the life of the process.
using EntryPoint = PoseDetector* (*)(const char* modelPath, int threads);
inline constexpr const char* kEntryPointName = "spindrel_create_pose_detector";

struct Loaded {
    std::unique_ptr<PoseDetector> detector;
    // Why there is no detector, for the log; empty when there is one.
    QString failure;
};

Loaded load(const QString& modulePath, const std::string& modelPath, int threads);

}  // namespace PoseNetworkModule
