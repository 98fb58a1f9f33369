#include "Components/VisibleSteps.h"

#include <QPaintEngine>
#include <algorithm>
#include <cmath>

#include "Components/Easing.h"

namespace {

// The inverse of the ease-in-out 3t² - 2t³ on [0, 1].
double easeInOutInverse(double y) {
    y = std::clamp(y, 0.0, 1.0);
    return 0.5 - std::sin(std::asin(1.0 - 2.0 * y) / 3.0);
}

}  // namespace

namespace VisibleSteps {

double contrastOnPaleSurface(SrgbColor colour) {
    const double surface = 0.965;
    return std::max({std::abs(colour.red - surface), std::abs(colour.green - surface),
                     std::abs(colour.blue - surface)});
}

std::chrono::milliseconds nextSwingLevelChange(std::chrono::milliseconds elapsed,
                                               std::chrono::milliseconds half, double step) {
    return nextSwingLevelChange(elapsed, half, evenRungs(step));
}

std::vector<double> evenRungs(double step) {
    std::vector<double> rungs;
    if (step <= 0 || step >= 1.0) {
        return rungs;  // every phase shows the same
    }
    for (double level = 0; (level + 0.5) * step < 1.0; ++level) {
        rungs.push_back((level + 0.5) * step);
    }
    return rungs;
}

std::chrono::milliseconds nextSwingLevelChange(std::chrono::milliseconds elapsed,
                                               std::chrono::milliseconds half,
                                               const std::vector<double>& rungs) {
    using std::chrono::milliseconds;
    if (half.count() <= 0 || rungs.empty()) {
        // No swing, or one whose every phase shows the same: the far end of this swing.
        return elapsed + std::max(half, milliseconds{1});
    }
    const double halfMs = static_cast<double>(half.count());
    const qint64 cycle = 2 * half.count();
    const qint64 base = elapsed.count() - elapsed.count() % cycle;
    // Where in the cycle, in halves: rising over [0, 1), falling over [1, 2).
    const double u = static_cast<double>(elapsed.count() - base) / halfMs;
    const bool rising = u < 1.0;
    const double phase = easeInOut(rising ? u : 2.0 - u);
    const auto above = std::upper_bound(rungs.begin(), rungs.end(), phase);
    double target = 0;  // in halves from `base`
    if (rising && above != rungs.end()) {
        target = easeInOutInverse(*above);
    } else if (above != rungs.begin()) {
        // Past the last rung on the way up, or falling: the way down leaves the rung reached.
        target = 2.0 - easeInOutInverse(*std::prev(above));
    } else {
        // Resting level on the way down: the next breath's first rung.
        target = 2.0 + easeInOutInverse(rungs.front());
    }
    const qint64 due = base + static_cast<qint64>(std::ceil(target * halfMs));
    return milliseconds(std::max<qint64>(due, elapsed.count() + 1));
}

QRegion repaintedRegion(const QPainter& painter, const QRect& fallback, int margin) {
    const QPaintEngine* engine = painter.paintEngine();
    if (!engine || engine->systemClip().isEmpty()) {
        return fallback;
    }
    QRegion region;
    const QTransform toLogical = painter.deviceTransform().inverted();
    for (const QRect& rect : engine->systemClip()) {
        region += toLogical.mapRect(QRectF(rect))
                      .toAlignedRect()
                      .adjusted(-margin, -margin, margin, margin);
    }
    return region & fallback;
}

QTransform onDevicePixels(const QPainter& painter, QPoint at) {
    return QTransform::fromTranslate(at.x(), at.y()) *
           (painter.worldTransform().inverted() * painter.deviceTransform()).inverted();
}

std::chrono::milliseconds onFrameGrid(std::chrono::milliseconds due) {
    const qint64 grid = frameGrid.count();
    const qint64 rest = ((due.count() % grid) + grid) % grid;
    return rest == 0 ? due : due + std::chrono::milliseconds(grid - rest);
}

std::chrono::milliseconds swingStartBefore(std::chrono::milliseconds at,
                                           std::chrono::milliseconds half, double step) {
    // The swing shows its resting level until its phase reaches half a step.
    const double flat = step > 0 && step < 1.0 ? easeInOutInverse(step / 2) : 0.0;
    const auto lead = std::chrono::milliseconds(
        static_cast<qint64>(std::floor(flat * static_cast<double>(half.count()))));
    const qint64 grid =
        std::max<qint64>(frameGrid.count(), lead.count() - lead.count() % frameGrid.count());
    return at - std::chrono::milliseconds(((at.count() % grid) + grid) % grid);
}

}  // namespace VisibleSteps
