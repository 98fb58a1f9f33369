#pragma once

#include <QPainter>
#include <QRect>
#include <QRegion>
#include <QTransform>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "Models/RiskLevel.h"

// Motion that wakes only when its picture changes by a step someone could see: a just
// noticeable change of colour, or a pixel of movement.
namespace VisibleSteps {

// The smallest change of colour someone can tell on the window's pale surfaces: about 1 % of
// their brightness, some two and a half 8-bit steps. Finer changes still reach the screen with
// the next wake, but never wake the window on their own.
inline constexpr double colourStep = 0.01;
// How far a colour stands off the window's pale surface, in its most different channel: the
// most a change of that colour's weight over the surface can show.
double contrastOnPaleSurface(SrgbColor colour);
// Wakes are put on a grid of this spacing, so that motions due at nearly the same moment (the
// cards' breaths, the badge's pulse) share one wake of the process. A slow swing's step shows
// at most this much later; at its quickest the badge's glow swells by about a visible step
// per frame of this grid.
inline constexpr std::chrono::milliseconds frameGrid{200};
// A short transition (a fade, a change of level) draws every frame at this spacing while it
// lasts, and nothing after.
inline constexpr std::chrono::milliseconds transitionFrame{16};

// A swing (Easing.h's `swingAt` over `half`) drawn in levels `step` apart, level k covering
// phases within half a step of k * step: the first time after `elapsed` that the level
// differs from the level at `elapsed`. `step` is the finest change of phase that shows.
std::chrono::milliseconds nextSwingLevelChange(std::chrono::milliseconds elapsed,
                                               std::chrono::milliseconds half, double step);
// The same for a swing whose steps are uneven: its level is the number of `rungs` (rising
// phases within (0, 1)) at or below its phase.
std::chrono::milliseconds nextSwingLevelChange(std::chrono::milliseconds elapsed,
                                               std::chrono::milliseconds half,
                                               const std::vector<double>& rungs);
// The rungs of even steps `step` apart: level k covers phases within half a step of k * step.
std::vector<double> evenRungs(double step);
// The level, in whole steps, that a swing's `phase` is shown at.
inline double levelOf(double phase, double step) {
    return std::floor(phase / step + 0.5);
}

// `due` moved later onto the frame grid.
std::chrono::milliseconds onFrameGrid(std::chrono::milliseconds due);
// Where a swing (as for `nextSwingLevelChange`) wanted to begin at `at` may begin instead: the
// last point at or before `at` of a grid as coarse as the swing's flat start allows, so that at
// `at` it still shows its resting level. Swings of one pace begun within that span of each
// other then step together.
std::chrono::milliseconds swingStartBefore(std::chrono::milliseconds at,
                                           std::chrono::milliseconds half, double step);

// Draws `draw` once for each rectangle of `area` (in the painter's current coordinates), cut
// into bands of at most 64 device rows. Qt's raster engine hands a blend of 96 spans or more,
// or any blend through a clip of several rectangles, to its pool of worker threads and waits
// for them: for the few rows of a small repaint that wakes two threads besides the window's
// own, for microseconds of work each. A plain rectangle of few rows it blends at once.
template <typename Draw>
void paintInBands(QPainter& painter, const QRegion& area, Draw draw) {
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const int band = std::max(1, static_cast<int>(64 / ratio));
    for (const QRect& rect : area) {
        for (int top = rect.top(); top <= rect.bottom(); top += band) {
            const int rows = std::min(band, rect.bottom() + 1 - top);
            painter.save();
            painter.setClipRect(QRect(rect.left(), top, rect.width(), rows), Qt::IntersectClip);
            draw();
            painter.restore();
        }
    }
}

// The part of the device a painter is now asked to paint, in its current coordinates, each
// rectangle widened by `margin`; `fallback` where the painter does not say.
QRegion repaintedRegion(const QPainter& painter, const QRect& fallback, int margin);
// The world transform under which `painter` draws a picture's pixels one to one onto the
// device's, its top left on the device's pixel `at`.
QTransform onDevicePixels(const QPainter& painter, QPoint at);

}  // namespace VisibleSteps
