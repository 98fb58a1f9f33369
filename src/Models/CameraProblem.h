#pragma once

// Why the camera is not measuring, for the screens to put into words.
enum class CameraProblem {
    noCamera,            // no webcam to open
    accessRefused,       // the device node may not be opened by this user
    cameraDisconnected,  // unplugged while running; tried again when a device appears
    poseModelMissing,    // the pose network or the module that runs it is not installed
    inUseByOtherApp      // let go for a call; taken back a minute after the other app
};
