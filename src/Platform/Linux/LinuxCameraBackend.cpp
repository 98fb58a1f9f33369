#include "Platform/Linux/LinuxCameraBackend.h"

#include "Platform/Linux/ImageFileFrameSource.h"
#include "Platform/Linux/QtCameraFrameSource.h"

LinuxCameraBackend::LinuxCameraBackend(DetectorLoader loadDetector,
                                       std::optional<ImageFeed> imageFeed)
    : loadDetector_(std::move(loadDetector)), imageFeed_(std::move(imageFeed)) {}

std::unique_ptr<FrameSource> LinuxCameraBackend::openFrameSource() {
    if (imageFeed_) {
        return std::make_unique<ImageFileFrameSource>(imageFeed_->path, imageFeed_->frameInterval);
    }
    return std::make_unique<QtCameraFrameSource>();
}

std::unique_ptr<PoseDetector> LinuxCameraBackend::loadPoseDetector() {
    return loadDetector_ ? loadDetector_() : nullptr;
}
