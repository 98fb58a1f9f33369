#pragma once

#include <QImage>

#include "Platform/VideoFrame.h"

// A frame already held as a QImage: converted to packed RGB only when it is kept.
class QImageFrame final : public VideoFrame {
public:
    explicit QImageFrame(QImage image) : image_(std::move(image)) {}
    std::optional<RgbImage> toRgbImage() const override { return toRgb(image_); }

    // Packed RGB rows of any image; none for a null image.
    static std::optional<RgbImage> toRgb(const QImage& image);

private:
    QImage image_;
};
