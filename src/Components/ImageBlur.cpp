#include "Components/ImageBlur.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// One running-sum pass of a box `2 * half + 1` wide along rows or columns. Beyond the edges
// the edge pixel goes on, so a backdrop keeps its colour to the border; a shadow's image has
// clear margins, which go on as clear.
void boxPass(std::vector<float>& channel, int width, int height, int half, bool horizontal) {
    if (half <= 0) {
        return;
    }
    const int lines = horizontal ? height : width;
    const int length = horizontal ? width : height;
    const auto at = [&](int line, int i) -> float& {
        return horizontal ? channel[static_cast<std::size_t>(line) * width + i]
                          : channel[static_cast<std::size_t>(i) * width + line];
    };
    std::vector<float> source(static_cast<std::size_t>(length));
    const float window = static_cast<float>(2 * half + 1);
    const auto edge = [&](int i) {
        return source[static_cast<std::size_t>(std::clamp(i, 0, length - 1))];
    };
    for (int line = 0; line < lines; ++line) {
        for (int i = 0; i < length; ++i) {
            source[static_cast<std::size_t>(i)] = at(line, i);
        }
        float sum = 0;
        for (int k = -half; k <= half; ++k) {
            sum += edge(k);
        }
        for (int i = 0; i < length; ++i) {
            at(line, i) = sum / window;
            sum += edge(i + half + 1) - edge(i - half);
        }
    }
}

}  // namespace

namespace ImageBlur {

QImage blurred(const QImage& image, qreal radius) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int width = result.width();
    const int height = result.height();
    if (radius <= 0.5 || width == 0 || height == 0) {
        return result;
    }
    // Three box passes of this width approximate the Gaussian.
    const double sigma = sigmaFor(radius);
    const int half = std::max(
        1, static_cast<int>(std::lround((std::sqrt(4.0 * sigma * sigma + 1.0) - 1.0) / 2.0)));
    std::vector<float> channels[4];
    for (auto& channel : channels) {
        channel.resize(static_cast<std::size_t>(width) * height);
    }
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(result.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * width + x;
            channels[0][i] = static_cast<float>(qAlpha(row[x]));
            channels[1][i] = static_cast<float>(qRed(row[x]));
            channels[2][i] = static_cast<float>(qGreen(row[x]));
            channels[3][i] = static_cast<float>(qBlue(row[x]));
        }
    }
    for (auto& channel : channels) {
        for (int pass = 0; pass < 3; ++pass) {
            boxPass(channel, width, height, half, true);
            boxPass(channel, width, height, half, false);
        }
    }
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * width + x;
            const auto clamp = [](float v) {
                return std::clamp(static_cast<int>(v + 0.5F), 0, 255);
            };
            const int alpha = clamp(channels[0][i]);
            row[x] = qRgba(std::min(clamp(channels[1][i]), alpha),
                           std::min(clamp(channels[2][i]), alpha),
                           std::min(clamp(channels[3][i]), alpha), alpha);
        }
    }
    return result;
}

}  // namespace ImageBlur
