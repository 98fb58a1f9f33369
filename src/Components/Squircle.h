#pragma once

#include <QPainterPath>
#include <QRectF>

// Rounded shapes with continuous-curvature corners: the corner blends into the straight edge
// without the kink a quarter circle leaves. Every rounded shape of the window uses these.
namespace Squircle {

QPainterPath roundedRect(const QRectF& rect, qreal radius);
// Corner radius half the shorter side.
QPainterPath capsule(const QRectF& rect);

}  // namespace Squircle
