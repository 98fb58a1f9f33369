#include "Platform/FaceSymmetry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "Platform/VideoFrame.h"

namespace FaceSymmetry {
namespace {

// The window is resampled to this many pixels across: enough for eyes and mouth corners, and
// the search stays around a millisecond.
constexpr int kPatch = 48;
constexpr int kMaxShift = kPatch / 8;
constexpr double kMaxRoll = 39.0;
constexpr double kCoarseStep = 3.0;
constexpr int kFineSpan = 3;  // whole degrees either side of the best coarse step
// A face seen from the front matches its best mirror at 0.3–0.68 of the median mismatch over all
// the turns tried; a head seen side-on, which has no mirror axis, at 0.65–0.93 (test portraits).
constexpr double kMaxMismatchToMedian = 0.7;
// A window this plain (mean squared detail mismatch, in 8-bit luma) is a wall, not a face; the
// test portraits' faces give 150–850.
constexpr double kMinDetail = 1.0;
// Below this radius the face is a few pixels wide and has no features to mirror.
constexpr double kMinRadius = 6.0;

double toRadians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

// Luma at a fractional pixel position, edges repeated.
double lumaAt(const RgbImage& frame, double x, double y) {
    x = std::clamp(x, 0.0, double(frame.width - 1));
    y = std::clamp(y, 0.0, double(frame.height - 1));
    const int x0 = std::min(int(x), std::max(frame.width - 2, 0));
    const int y0 = std::min(int(y), std::max(frame.height - 2, 0));
    const int x1 = std::min(x0 + 1, frame.width - 1);
    const int y1 = std::min(y0 + 1, frame.height - 1);
    const double fx = x - x0;
    const double fy = y - y0;
    const auto luma = [&](int px, int py) {
        const auto* p = reinterpret_cast<const unsigned char*>(frame.pixels.constData()) +
                        (qsizetype(py) * frame.width + px) * 3;
        return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
    };
    const double top = luma(x0, y0) * (1.0 - fx) + luma(x1, y0) * fx;
    const double bottom = luma(x0, y1) * (1.0 - fx) + luma(x1, y1) * fx;
    return top * (1.0 - fy) + bottom * fy;
}

// Box blur along rows then columns, edges repeated; twice gives a soft low-pass.
void boxBlur(std::vector<double>& patch, int radius) {
    std::vector<double> out(patch.size());
    const auto pass = [&](bool rows) {
        for (int a = 0; a < kPatch; ++a) {
            for (int b = 0; b < kPatch; ++b) {
                double sum = 0.0;
                for (int k = -radius; k <= radius; ++k) {
                    const int c = std::clamp(b + k, 0, kPatch - 1);
                    sum += rows ? patch[a * kPatch + c] : patch[c * kPatch + a];
                }
                (rows ? out[a * kPatch + b] : out[b * kPatch + a]) = sum / (2 * radius + 1);
            }
        }
        patch.swap(out);
    };
    pass(true);
    pass(false);
}

// The window seen with its axes turned by `roll`, with slow shading taken out so a face lit from
// one side still mirrors onto itself.
std::vector<double> detailPatch(const RgbImage& frame, const FaceWindow& window, double roll) {
    const double c = std::cos(toRadians(roll));
    const double s = std::sin(toRadians(roll));
    std::vector<double> patch(kPatch * kPatch);
    for (int row = 0; row < kPatch; ++row) {
        for (int col = 0; col < kPatch; ++col) {
            const double across = ((col + 0.5) / kPatch * 2.0 - 1.0) * window.radius;
            const double down = ((row + 0.5) / kPatch * 2.0 - 1.0) * window.radius;
            // The face's "right" runs (c, −s) in frame pixels, its "down" (s, c).
            patch[row * kPatch + col] = lumaAt(frame, window.centreX + across * c + down * s,
                                               window.centreY - across * s + down * c);
        }
    }
    std::vector<double> shading = patch;
    boxBlur(shading, kPatch / 16);
    boxBlur(shading, kPatch / 16);
    for (std::size_t i = 0; i < patch.size(); ++i) {
        patch[i] -= shading[i];
    }
    return patch;
}

// Mean squared difference between the disc of the patch and its mirror image about the column
// `shift` pixels right of the middle; the best over all shifts.
double mirrorMismatch(const std::vector<double>& patch) {
    double best = std::numeric_limits<double>::infinity();
    for (int shift = -kMaxShift; shift <= kMaxShift; ++shift) {
        double sum = 0.0;
        int count = 0;
        for (int row = 0; row < kPatch; ++row) {
            const double v = (row + 0.5) / kPatch * 2.0 - 1.0;
            for (int col = 0; col < kPatch; ++col) {
                const int mirror = kPatch - 1 - col + 2 * shift;
                if (mirror <= col || mirror >= kPatch) {
                    continue;
                }
                const double u = (col + 0.5) / kPatch * 2.0 - 1.0;
                if (u * u + v * v > 1.0) {
                    continue;
                }
                const double d = patch[row * kPatch + col] - patch[row * kPatch + mirror];
                sum += d * d;
                ++count;
            }
        }
        if (count > 0) {
            best = std::min(best, sum / count);
        }
    }
    return best;
}

}  // namespace

std::optional<double> rollDegrees(const RgbImage& frame, const FaceWindow& window) {
    if (!frame.isValid() || !(window.radius >= kMinRadius) || !std::isfinite(window.centreX) ||
        !std::isfinite(window.centreY)) {
        return std::nullopt;
    }
    const auto mismatchAt = [&](double roll) {
        return mirrorMismatch(detailPatch(frame, window, roll));
    };
    // Coarse steps first, then whole degrees around the best of them.
    std::vector<double> coarse;
    for (double roll = -kMaxRoll; roll <= kMaxRoll; roll += kCoarseStep) {
        coarse.push_back(mismatchAt(roll));
    }
    const auto coarseAt = std::min_element(coarse.begin(), coarse.end());
    const double coarseMismatch = *coarseAt;
    const double coarseBest = -kMaxRoll + double(coarseAt - coarse.begin()) * kCoarseStep;
    std::nth_element(coarse.begin(), coarse.begin() + coarse.size() / 2, coarse.end());
    const double median = coarse[coarse.size() / 2];
    if (std::abs(coarseBest) >= kMaxRoll || median < kMinDetail ||
        coarseMismatch > kMaxMismatchToMedian * median) {
        return std::nullopt;
    }
    std::array<double, 2 * kFineSpan + 1> fine{};
    for (int step = -kFineSpan; step <= kFineSpan; ++step) {
        fine[std::size_t(step + kFineSpan)] =
            step == 0 ? coarseMismatch : mismatchAt(coarseBest + step);
    }
    const auto best = std::min_element(fine.begin() + 1, fine.end() - 1);
    const double left = *(best - 1);
    const double right = *(best + 1);
    // A parabola through the best degree and its neighbours places the minimum between them.
    const double curvature = left - 2.0 * *best + right;
    const double offset = curvature > 0.0 ? 0.5 * (left - right) / curvature : 0.0;
    return coarseBest + double(best - fine.begin() - kFineSpan) + offset;
}

}  // namespace FaceSymmetry
