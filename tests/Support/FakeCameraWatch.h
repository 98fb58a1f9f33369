#pragma once

#include "Platform/CameraWatch.h"

// Another app takes and leaves the webcam when the test says so.
class FakeCameraWatch final : public CameraWatch {
public:
    bool heldByOtherApp() const override { return held_; }

    void setHeldByOtherApp(bool held) {
        if (held_ != held) {
            held_ = held;
            emit heldByOtherAppChanged();
        }
    }
    void announceDevicesChanged() { emit devicesChanged(); }

private:
    bool held_ = false;
};
