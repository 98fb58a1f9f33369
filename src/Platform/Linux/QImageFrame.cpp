#include "Platform/Linux/QImageFrame.h"

#include <cstring>

std::optional<RgbImage> QImageFrame::toRgb(const QImage& image) {
    if (image.isNull()) {
        return std::nullopt;
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const auto rowBytes = static_cast<std::size_t>(rgb.width()) * 3;
    RgbImage packed{rgb.width(), rgb.height(),
                    QByteArray(static_cast<qsizetype>(rowBytes) * rgb.height(), Qt::Uninitialized)};
    // QImage pads rows to 32 bits; the detector reads them packed.
    for (int y = 0; y < rgb.height(); ++y) {
        std::memcpy(packed.pixels.data() + static_cast<qsizetype>(rowBytes) * y,
                    rgb.constScanLine(y), rowBytes);
    }
    return packed;
}
