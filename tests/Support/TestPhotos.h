#pragma once

#include <QImage>
#include <QString>
#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "Platform/Linux/QImageFrame.h"
#include "Platform/VideoFrame.h"

// A test photograph as the camera would hand it over: 8-bit RGB, mirrored when asked (as a
// front camera shows its user), cut to its top `height` rows when that is given; empty when the
// file does not load.
inline RgbImage photoFrame(const QString& name, bool mirror = false, int height = 0) {
    QImage image(QStringLiteral(SPINDREL_TEST_DATA_DIR "/") + name);
    if (mirror) {
        image = image.mirrored(true, false);
    }
    if (height > 0) {
        image = image.copy(0, 0, image.width(), height);
    }
    return QImageFrame::toRgb(image.convertToFormat(QImage::Format_RGB888)).value_or(RgbImage{});
}

// The frame turned counter-clockwise on screen about (centreX, centreY), each pixel by the share
// of `degrees` that `shareAt` gives its place, all of it when no share is given. Bilinear, with
// the edge pixels repeated beyond the frame so that no dark corners appear.
inline RgbImage turnedAbout(const RgbImage& frame, double centreX, double centreY, double degrees,
                            const std::function<double(int x, int y)>& shareAt = {}) {
    const auto* source = reinterpret_cast<const unsigned char*>(frame.pixels.constData());
    const auto at = [&](int x, int y, int channel) {
        x = std::clamp(x, 0, frame.width - 1);
        y = std::clamp(y, 0, frame.height - 1);
        return double(source[(qsizetype(y) * frame.width + x) * 3 + channel]);
    };
    RgbImage out = frame;
    auto* target = reinterpret_cast<unsigned char*>(out.pixels.data());
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            // Where this pixel comes from: the turn undone (y runs down the screen).
            const double turn = degrees * (shareAt ? shareAt(x, y) : 1.0) * std::numbers::pi / 180;
            const double dx = x - centreX;
            const double dy = y - centreY;
            const double fromX = centreX + std::cos(turn) * dx - std::sin(turn) * dy;
            const double fromY = centreY + std::sin(turn) * dx + std::cos(turn) * dy;
            const int x0 = int(std::floor(fromX));
            const int y0 = int(std::floor(fromY));
            const double fx = fromX - x0;
            const double fy = fromY - y0;
            for (int channel = 0; channel < 3; ++channel) {
                const double value =
                    (at(x0, y0, channel) * (1 - fx) + at(x0 + 1, y0, channel) * fx) * (1 - fy) +
                    (at(x0, y0 + 1, channel) * (1 - fx) + at(x0 + 1, y0 + 1, channel) * fx) * fy;
                target[(qsizetype(y) * frame.width + x) * 3 + channel] =
                    static_cast<unsigned char>(std::lround(value));
            }
        }
    }
    return out;
}
