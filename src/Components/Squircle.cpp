#include "Components/Squircle.h"

#include <algorithm>

namespace Squircle {

QPainterPath roundedRect(const QRectF& rect, qreal radius) {
    QPainterPath path;
    const qreal r = std::clamp(radius, 0.0, std::min(rect.width(), rect.height()) / 2.0);
    if (r <= 0) {
        path.addRect(rect);
        return path;
    }
    // Each corner starts 1.28 r from the vertex and bends through two cubic segments whose
    // handles lie on the edges: the curvature grows from zero instead of jumping to 1/r.
    const qreal reach = std::min(r * 1.28, std::min(rect.width(), rect.height()) / 2.0);
    const qreal handle = reach * 0.62;
    const qreal l = rect.left();
    const qreal t = rect.top();
    const qreal rt = rect.right();
    const qreal b = rect.bottom();
    path.moveTo(l + reach, t);
    path.lineTo(rt - reach, t);
    path.cubicTo(rt - reach + handle, t, rt, t + reach - handle, rt, t + reach);
    path.lineTo(rt, b - reach);
    path.cubicTo(rt, b - reach + handle, rt - reach + handle, b, rt - reach, b);
    path.lineTo(l + reach, b);
    path.cubicTo(l + reach - handle, b, l, b - reach + handle, l, b - reach);
    path.lineTo(l, t + reach);
    path.cubicTo(l, t + reach - handle, l + reach - handle, t, l + reach, t);
    path.closeSubpath();
    return path;
}

QPainterPath capsule(const QRectF& rect) {
    return roundedRect(rect, std::min(rect.width(), rect.height()) / 2.0);
}

}  // namespace Squircle
