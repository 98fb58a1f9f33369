#pragma once

#include <QImage>

namespace ImageBlur {

// A Gaussian-like blur of an image's pixels, by three box passes; radius in pixels. The result is
// premultiplied ARGB.
QImage blurred(const QImage& image, qreal radius);

}  // namespace ImageBlur
