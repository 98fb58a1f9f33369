#pragma once

#include <QImage>

namespace ImageBlur {

// The sigma of the Gaussian that `blurred` approximates for a radius.
constexpr qreal sigmaFor(qreal radius) {
    return radius / 2;
}

// A Gaussian-like blur of an image's pixels, by three box passes; radius in pixels. The result is
// premultiplied ARGB.
QImage blurred(const QImage& image, qreal radius);

}  // namespace ImageBlur
