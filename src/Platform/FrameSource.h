#pragma once

class VideoFrame;

// Why a source stopped or never started.
enum class FrameSourceFailure {
    noCamera,           // nothing to capture from, or it cannot be opened
    accessRefused,      // the device or the camera portal said no
    cameraDisconnected  // it went away while running
};

// What a source reports to, on the camera worker thread.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    virtual void sourceStarted() = 0;
    virtual void frameArrived(const VideoFrame& frame) = 0;
    virtual void sourceFailed(FrameSourceFailure failure) = 0;
};

// A stream of video frames: the webcam, or an image file for tests and demos. Created, started,
// stopped and destroyed on the camera worker thread, which runs an event loop. start() may
// report to the sink at once or later; after stop() nothing more is reported.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    virtual void start(FrameSink& sink) = 0;
    virtual void stop() = 0;
};
