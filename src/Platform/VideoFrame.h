#pragma once

#include <QByteArray>
#include <optional>

// A frame's pixels as the pose detector reads them: 8-bit RGB, rows top to bottom, no padding.
struct RgbImage {
    int width = 0;
    int height = 0;
    QByteArray pixels;  // width × height × 3 bytes

    bool isValid() const {
        return width > 0 && height > 0 && pixels.size() == qsizetype(width) * height * 3;
    }
};

// One frame as a source delivers it. Most frames are dropped unexamined by the capture
// throttle, so the pixels are only converted when a frame is kept.
class VideoFrame {
public:
    virtual ~VideoFrame() = default;
    // None when the frame cannot be mapped or converted.
    virtual std::optional<RgbImage> toRgbImage() const = 0;
};
