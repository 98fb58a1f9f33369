#pragma once

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRectF>

// The parameters of one glass surface.
struct GlassStyle {
    qreal cornerRadius = 16;
    double saturation = 1.0;
    double brightness = 0.0;
    qreal shadowRadius = 10;
    double shadowOpacity = 0.07;

    bool operator==(const GlassStyle&) const = default;
};

// Frosted glass behind a widget's content: the five layers (or the flat fill when transparency
// is reduced), and the two shadows it casts. The shadows are blurred once per size and kept.
namespace LiquidGlass {

void paintSurface(QPainter& painter, const QRectF& rect, const GlassStyle& style,
                  bool reduceTransparency);
// How far the shadows reach beyond the surface.
QMarginsF shadowOverhang(const GlassStyle& style);

// The drop shadow and the top highlight a surface casts. Blurring is the costly part of a card,
// so the blurred picture is kept until the surface changes size or style, and shared with
// every surface of the same size and style.
class GlassShadows {
public:
    void paint(QPainter& painter, const QRectF& rect, const GlassStyle& style);

private:
    QPixmap picture_;
    QSizeF size_;
    qreal ratio_ = 0;
    GlassStyle style_;
};

}  // namespace LiquidGlass
