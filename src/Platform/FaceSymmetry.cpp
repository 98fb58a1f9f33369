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
constexpr int kBlurRadius = kPatch / 16;
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

using Patch = std::array<float, kPatch * kPatch>;

// The luma of the part of the frame that any turn of the window can reach, computed once per
// search rather than four times per sample per turn.
class LumaPlane {
public:
    LumaPlane(const RgbImage& frame, const FaceWindow& window)
        : frameWidth_(frame.width), frameHeight_(frame.height) {
        // Samples lie within the window's circumscribed square, turned: √2 radii of the centre.
        const double reach = window.radius * std::numbers::sqrt2;
        left_ = span(window.centreX - reach, frame.width);
        top_ = span(window.centreY - reach, frame.height);
        width_ = span(window.centreX + reach, frame.width) + 2 - left_;
        height_ = span(window.centreY + reach, frame.height) + 2 - top_;
        width_ = std::min(width_, frame.width - left_);
        height_ = std::min(height_, frame.height - top_);
        values_.resize(std::size_t(width_) * std::size_t(height_));
        const auto* pixels = reinterpret_cast<const unsigned char*>(frame.pixels.constData());
        for (int y = 0; y < height_; ++y) {
            const unsigned char* p = pixels + (qsizetype(top_ + y) * frame.width + left_) * 3;
            float* out = values_.data() + std::size_t(y) * std::size_t(width_);
            for (int x = 0; x < width_; ++x, p += 3) {
                out[x] = 0.299F * p[0] + 0.587F * p[1] + 0.114F * p[2];
            }
        }
    }

    // Luma at a fractional frame position, the frame's edges repeated.
    float at(double x, double y) const {
        x = std::clamp(x, 0.0, double(frameWidth_ - 1));
        y = std::clamp(y, 0.0, double(frameHeight_ - 1));
        const int x0 = std::min(int(x), std::max(frameWidth_ - 2, 0));
        const int y0 = std::min(int(y), std::max(frameHeight_ - 2, 0));
        const int x1 = std::min(x0 + 1, frameWidth_ - 1);
        const int y1 = std::min(y0 + 1, frameHeight_ - 1);
        const auto fx = float(x - x0);
        const auto fy = float(y - y0);
        const float top = value(x0, y0) * (1.0F - fx) + value(x1, y0) * fx;
        const float bottom = value(x0, y1) * (1.0F - fx) + value(x1, y1) * fx;
        return top * (1.0F - fy) + bottom * fy;
    }

    // True when every sample of the window lies at least a pixel inside the frame's last
    // column and row, so that atInside gives the same as at.
    bool holdsWholly(const FaceWindow& window) const {
        const double reach = window.radius * std::numbers::sqrt2;
        return window.centreX - reach >= 0.0 && window.centreX + reach < frameWidth_ - 1 &&
               window.centreY - reach >= 0.0 && window.centreY + reach < frameHeight_ - 1;
    }

    // As `at`, for a position known to lie inside the frame's last pixel centres.
    float atInside(double x, double y) const {
        const int x0 = int(x);
        const int y0 = int(y);
        const auto fx = float(x - x0);
        const auto fy = float(y - y0);
        const float* upper =
            values_.data() + std::size_t(y0 - top_) * std::size_t(width_) + std::size_t(x0 - left_);
        const float* lower = upper + width_;
        const float top = upper[0] * (1.0F - fx) + upper[1] * fx;
        const float bottom = lower[0] * (1.0F - fx) + lower[1] * fx;
        return top * (1.0F - fy) + bottom * fy;
    }

private:
    // The first pixel a sample at `position` may read, kept where the clamped samples land.
    static int span(double position, int size) {
        return int(std::clamp(std::floor(position), 0.0, double(std::max(size - 2, 0))));
    }

    float value(int x, int y) const {
        return values_[std::size_t(y - top_) * std::size_t(width_) + std::size_t(x - left_)];
    }

    int frameWidth_;
    int frameHeight_;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::vector<float> values_;
};

// One box average of `kRadius` along every line of `in` into `out`, edges repeated, as a
// running sum. `kAlong` steps within a line; lines are `kAcross` apart.
template <int kRadius, int kAlong, int kAcross>
void boxPass(const Patch& in, Patch& out) {
    constexpr float kScale = 1.0F / float(2 * kRadius + 1);
    constexpr int kLast = kPatch - 1;
    for (int a = 0; a < kPatch; ++a) {
        const float* line = in.data() + a * kAcross;
        float* target = out.data() + a * kAcross;
        float sum = float(kRadius + 1) * line[0];
        for (int k = 1; k <= kRadius; ++k) {
            sum += line[k * kAlong];
        }
        int b = 0;
        for (; b < kRadius; ++b) {  // the first pixel repeats off the start
            target[b * kAlong] = sum * kScale;
            sum += line[(b + kRadius + 1) * kAlong] - line[0];
        }
        for (; b < kLast - kRadius; ++b) {
            target[b * kAlong] = sum * kScale;
            sum += line[(b + kRadius + 1) * kAlong] - line[(b - kRadius) * kAlong];
        }
        for (; b < kPatch; ++b) {  // and the last off the end
            target[b * kAlong] = sum * kScale;
            sum += line[kLast * kAlong] - line[(b - kRadius) * kAlong];
        }
    }
}

// Box blur along rows then columns, twice: a soft low-pass. `scratch` is overwritten.
void softBlur(Patch& patch, Patch& scratch) {
    for (int round = 0; round < 2; ++round) {
        boxPass<kBlurRadius, 1, kPatch>(patch, scratch);
        boxPass<kBlurRadius, kPatch, 1>(scratch, patch);
    }
}

// The window seen with its axes turned by `roll`, with slow shading taken out so a face lit from
// one side still mirrors onto itself.
template <bool kInside>
void detailPatch(const LumaPlane& luma, const FaceWindow& window, double roll, Patch& patch,
                 Patch& shading, Patch& scratch) {
    const double c = std::cos(toRadians(roll));
    const double s = std::sin(toRadians(roll));
    for (int row = 0; row < kPatch; ++row) {
        const double down = ((row + 0.5) / kPatch * 2.0 - 1.0) * window.radius;
        const double rowX = window.centreX + down * s;
        const double rowY = window.centreY + down * c;
        for (int col = 0; col < kPatch; ++col) {
            const double across = ((col + 0.5) / kPatch * 2.0 - 1.0) * window.radius;
            // The face's "right" runs (c, −s) in frame pixels, its "down" (s, c).
            const double x = rowX + across * c;
            const double y = rowY - across * s;
            patch[std::size_t(row * kPatch + col)] = kInside ? luma.atInside(x, y) : luma.at(x, y);
        }
    }
    shading = patch;
    softBlur(shading, scratch);
    for (std::size_t i = 0; i < patch.size(); ++i) {
        patch[i] -= shading[i];
    }
}

// Per row, the columns inside the disc the mirror is compared over: [first, end).
struct DiscRows {
    std::array<int, kPatch> first{};
    std::array<int, kPatch> end{};

    DiscRows() {
        for (int row = 0; row < kPatch; ++row) {
            const double v = (row + 0.5) / kPatch * 2.0 - 1.0;
            first[std::size_t(row)] = kPatch;
            for (int col = 0; col < kPatch; ++col) {
                const double u = (col + 0.5) / kPatch * 2.0 - 1.0;
                if (u * u + v * v <= 1.0) {
                    first[std::size_t(row)] = std::min(first[std::size_t(row)], col);
                    end[std::size_t(row)] = col + 1;
                }
            }
        }
    }
};

// Mean squared difference between the disc of the patch and its mirror image about the column
// `shift` pixels right of the middle; the best over all shifts. `mirrored` is overwritten.
double mirrorMismatch(const Patch& patch, Patch& mirrored, const DiscRows& disc) {
    for (int row = 0; row < kPatch; ++row) {
        const float* line = patch.data() + row * kPatch;
        std::reverse_copy(line, line + kPatch, mirrored.begin() + row * kPatch);
    }
    double best = std::numeric_limits<double>::infinity();
    for (int shift = -kMaxShift; shift <= kMaxShift; ++shift) {
        // Each pair once, the left one in the disc: col < mirror = kPatch − 1 − col + 2·shift,
        // and the mirror inside the patch. The mirror pixel is mirrored[col − 2·shift].
        const int mirrorSum = kPatch - 1 + 2 * shift;
        std::array<float, 4> sums{};
        int count = 0;
        for (int row = 0; row < kPatch; ++row) {
            const int first = std::max(disc.first[std::size_t(row)], 2 * shift);
            const int end = std::min(disc.end[std::size_t(row)], (mirrorSum + 1) / 2);
            const float* line = patch.data() + row * kPatch;
            const float* other = mirrored.data() + row * kPatch;
            for (int col = first; col < end; ++col) {
                const float d = line[col] - other[col - 2 * shift];
                sums[std::size_t(col & 3)] += d * d;
            }
            count += std::max(end - first, 0);
        }
        if (count > 0) {
            const double sum = double(sums[0]) + sums[1] + sums[2] + sums[3];
            best = std::min(best, sum / count);
        }
    }
    return best;
}

}  // namespace

std::optional<double> rollDegrees(const RgbImage& frame, const FaceWindow& window) {
    if (!frame.isValid() || !(window.radius >= kMinRadius) || !std::isfinite(window.radius) ||
        !std::isfinite(window.centreX) || !std::isfinite(window.centreY)) {
        return std::nullopt;
    }
    const LumaPlane luma(frame, window);
    const bool inside = luma.holdsWholly(window);
    const DiscRows disc;
    Patch patch;
    Patch shading;
    Patch scratch;
    const auto mismatchAt = [&](double roll) {
        if (inside) {
            detailPatch<true>(luma, window, roll, patch, shading, scratch);
        } else {
            detailPatch<false>(luma, window, roll, patch, shading, scratch);
        }
        return mirrorMismatch(patch, scratch, disc);
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
