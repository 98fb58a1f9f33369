#pragma once

#include <QImage>
#include <QString>

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
