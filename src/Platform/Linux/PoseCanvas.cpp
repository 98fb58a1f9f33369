#include "Platform/Linux/PoseCanvas.h"

#include "Platform/Linux/PoseGeometry.h"
#include "Platform/VideoFrame.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFractionBits = 5;  // sample positions in 1/32 pixel
constexpr int kFractions = 1 << kFractionBits;
constexpr int kCoordinateBits = 10;  // the map is evaluated in 1/1024 pixel, then rounded

// How one canvas column (or row) samples the frame along that axis: two neighbouring frame
// pixels and their weights in 1/32, which sum to 32. A neighbour outside the frame is black:
// its weight is 0 and its index points at the other neighbour, so it is never read.
struct Tap {
    int first = 0;
    int second = 0;
    int firstWeight = 0;
    int secondWeight = 0;

    bool blank() const { return firstWeight == 0 && secondWeight == 0; }
};

int roundToInt(double value) {
    constexpr double kLimit = double(1 << 28);  // far outside any frame, and no overflow
    return int(std::lrint(std::clamp(value, -kLimit, kLimit)));
}

// Canvas position → frame position along one axis, for canvas = scale · frame + offset.
std::vector<Tap> taps(int side, double scale, double offset, int frameSize) {
    // The inverse map's coefficients exactly as an affine inversion computes them.
    const double inverse = scale * (1.0 / (scale * scale));
    const double shift = -inverse * offset;
    const int origin =
        roundToInt(shift * (1 << kCoordinateBits)) + (1 << kCoordinateBits) / kFractions / 2;
    std::vector<Tap> result(static_cast<std::size_t>(side));
    for (int i = 0; i < side; ++i) {
        const int fixed = (origin + roundToInt(inverse * i * (1 << kCoordinateBits))) >>
                          (kCoordinateBits - kFractionBits);
        const int first = fixed >> kFractionBits;
        const int fraction = fixed & (kFractions - 1);
        const bool firstInside = first >= 0 && first < frameSize;
        const bool secondInside = first + 1 >= 0 && first + 1 < frameSize;
        Tap& tap = result[std::size_t(i)];
        tap.first = firstInside ? first : std::clamp(first + 1, 0, frameSize - 1);
        tap.second = secondInside ? first + 1 : tap.first;
        tap.firstWeight = firstInside ? kFractions - fraction : 0;
        tap.secondWeight = secondInside ? fraction : 0;
    }
    return result;
}

}  // namespace

void drawOnCanvas(const RgbImage& frame, const CanvasPlacement& placement, int side,
                  PoseCanvas& canvas) {
    canvas.side = side;
    canvas.pixels.assign(std::size_t(side) * std::size_t(side) * 3, 0);
    if (!frame.isValid() || !(placement.scale > 0.0)) {
        return;
    }
    const std::vector<Tap> columns = taps(side, placement.scale, placement.offsetX, frame.width);
    const std::vector<Tap> rows = taps(side, placement.scale, placement.offsetY, frame.height);
    const auto* source = reinterpret_cast<const std::uint8_t*>(frame.pixels.constData());
    const std::size_t stride = std::size_t(frame.width) * 3;
    // Blended across, then down: the product of the two 1/32 weights is the bilinear weight in
    // 1/1024, exactly, so the result is the direct bilinear sum's.
    constexpr int kTotalBits = 2 * kFractionBits;
    constexpr int kHalf = 1 << (kTotalBits - 1);
    for (int y = 0; y < side; ++y) {
        const Tap& row = rows[std::size_t(y)];
        if (row.blank()) {
            continue;  // wholly in the border
        }
        const std::uint8_t* upper = source + std::size_t(row.first) * stride;
        const std::uint8_t* lower = source + std::size_t(row.second) * stride;
        const int upperWeight = row.firstWeight;
        const int lowerWeight = row.secondWeight;
        std::uint8_t* out = canvas.pixels.data() + std::size_t(y) * std::size_t(side) * 3;
        for (const Tap& column : columns) {
            const std::size_t left = std::size_t(column.first) * 3;
            const std::size_t right = std::size_t(column.second) * 3;
            const int leftWeight = column.firstWeight;
            const int rightWeight = column.secondWeight;
            for (std::size_t channel = 0; channel < 3; ++channel) {
                const int top =
                    leftWeight * upper[left + channel] + rightWeight * upper[right + channel];
                const int bottom =
                    leftWeight * lower[left + channel] + rightWeight * lower[right + channel];
                *out++ =
                    std::uint8_t((upperWeight * top + lowerWeight * bottom + kHalf) >> kTotalBits);
            }
        }
    }
}
