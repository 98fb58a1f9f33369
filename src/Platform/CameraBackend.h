#pragma once

#include <chrono>
#include <memory>

#include "Platform/FrameSource.h"
#include "Platform/PoseDetector.h"

// Where the posture camera gets its frames and its pose network. Both are made on the camera
// worker thread, where they then live.
class CameraBackend {
public:
    virtual ~CameraBackend() = default;
    // A fresh source for each start, so that a camera plugged in since is found.
    virtual std::unique_ptr<FrameSource> openFrameSource() = 0;
    // Loaded once, on the first start. None when the network cannot be loaded.
    virtual std::unique_ptr<PoseDetector> loadPoseDetector() = 0;
    // When a frame arrives, for the capture throttle; read on the worker thread.
    virtual std::chrono::steady_clock::time_point frameTime() const {
        return std::chrono::steady_clock::now();
    }
};
