#pragma once

#include <QString>
#include <chrono>
#include <functional>
#include <optional>

#include "Platform/CameraBackend.h"

// Frames from the webcam, or from an image file played as a camera for demos and
// measurements; the pose network from the given loader.
class LinuxCameraBackend final : public CameraBackend {
public:
    using DetectorLoader = std::function<std::unique_ptr<PoseDetector>()>;

    struct ImageFeed {
        QString path;
        std::chrono::milliseconds frameInterval;
    };

    LinuxCameraBackend(DetectorLoader loadDetector, std::optional<ImageFeed> imageFeed);

    std::unique_ptr<FrameSource> openFrameSource() override;
    std::unique_ptr<PoseDetector> loadPoseDetector() override;

private:
    DetectorLoader loadDetector_;
    std::optional<ImageFeed> imageFeed_;
};
