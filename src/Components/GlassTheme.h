#pragma once

#include <QColor>
#include <QFont>

#include "Models/RiskLevel.h"

// The shared palette, and the few shared looks every screen draws with.
namespace GlassTheme {

// The darkest ink the cards carry: their figures and titles.
inline constexpr SrgbColor primaryInk{0.12, 0.14, 0.13};
QColor primaryText();
QColor secondaryText();
QColor tertiaryText();
QColor accent();
// The green of success lines and the completed reset.
QColor success();
// The desktop's standard grey, green and orange, as the glows and the track use them.
QColor standardGray();
QColor standardGreen();
QColor standardOrange();
// A frosted layer over the blurred backdrop: light and translucent.
QColor ultraThinMaterial();

QColor fromSrgb(const SrgbColor& color, double opacity = 1.0);
// The system font at a size in points of the window, which are device-independent pixels, not
// typographic points (those would come out a third larger at 96 dpi).
QFont font(const QFont& base, qreal size, QFont::Weight weight = QFont::Normal);
// The rounded face of titles and figures, at a size in window points. It has one weight, bold,
// which stands in for every weight the rounded texts ask for.
QFont roundedFont(qreal size);
QColor withOpacity(QColor color, double opacity);

}  // namespace GlassTheme
