#include "Components/LiquidGlass.h"

#include <QLinearGradient>
#include <QPixmapCache>

#include "Components/GlassTheme.h"
#include "Components/ImageBlur.h"
#include "Components/Squircle.h"

namespace {

// The drop shadow and the top highlight of a surface, blurred, on an image that reaches
// `overhang` beyond it on every side.
QImage renderShadows(const QRectF& rect, const GlassStyle& style, qreal ratio) {
    const QMarginsF overhang = LiquidGlass::shadowOverhang(style);
    const QRectF area = rect.marginsAdded(overhang);
    QImage image((area.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(-area.topLeft());
        painter.fillPath(
            Squircle::roundedRect(rect.translated(0, style.shadowRadius * 0.3), style.cornerRadius),
            QColor::fromRgbF(0, 0, 0, static_cast<float>(style.shadowOpacity)));
    }
    QImage shadow = ImageBlur::blurred(image, style.shadowRadius * ratio);
    QImage highlight(image.size(), QImage::Format_ARGB32_Premultiplied);
    highlight.setDevicePixelRatio(ratio);
    highlight.fill(Qt::transparent);
    {
        QPainter painter(&highlight);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(-area.topLeft());
        painter.fillPath(Squircle::roundedRect(rect.translated(0, -0.5), style.cornerRadius),
                         QColor::fromRgbF(1, 1, 1, 0.15F));
    }
    highlight = ImageBlur::blurred(highlight, 1.0 * ratio);
    QPainter painter(&shadow);
    painter.drawImage(QPointF(0, 0), highlight);
    return shadow;
}

}  // namespace

namespace LiquidGlass {

QMarginsF shadowOverhang(const GlassStyle& style) {
    const qreal reach = style.shadowRadius * 1.5 + 2;
    return {reach, reach, reach, reach + style.shadowRadius * 0.3};
}

void GlassShadows::paint(QPainter& painter, const QRectF& rect, const GlassStyle& style) {
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    if (picture_.isNull() || size_ != rect.size() || ratio_ != ratio || style_ != style) {
        // Pages are built afresh on every visit, so a card of the same size and style finds
        // the shadow its predecessor blurred in Qt's picture cache.
        const QString key = QStringLiteral("spindrel-glass-shadow:%1x%2@%3:%4,%5,%6,%7,%8")
                                .arg(rect.width())
                                .arg(rect.height())
                                .arg(ratio)
                                .arg(style.cornerRadius)
                                .arg(style.shadowRadius)
                                .arg(style.shadowOpacity)
                                .arg(style.saturation)
                                .arg(style.brightness);
        if (!QPixmapCache::find(key, &picture_)) {
            picture_ =
                QPixmap::fromImage(renderShadows(QRectF(QPointF(0, 0), rect.size()), style, ratio));
            QPixmapCache::insert(key, picture_);
        }
        size_ = rect.size();
        ratio_ = ratio;
        style_ = style;
    }
    const QMarginsF overhang = shadowOverhang(style);
    painter.drawPixmap(rect.topLeft() - QPointF(overhang.left(), overhang.top()), picture_);
}

void paintSurface(QPainter& painter, const QRectF& rect, const GlassStyle& style,
                  bool reduceTransparency) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = Squircle::roundedRect(rect, style.cornerRadius);
    if (reduceTransparency) {
        painter.fillPath(shape, GlassTheme::fromSrgb({0.96, 0.97, 0.96}));
        painter.restore();
        return;
    }
    // Frost: the backdrop is already blurred, so a light translucent layer over it serves.
    painter.setOpacity(0.6);
    painter.fillPath(shape, GlassTheme::ultraThinMaterial());
    painter.setOpacity(1.0);
    // Tint: the brightness offset as a faint white wash; a saturation factor of 1 and an offset
    // of 0 leave what lies behind unchanged.
    if (style.brightness > 0) {
        painter.fillPath(shape, QColor::fromRgbF(1, 1, 1, static_cast<float>(style.brightness)));
    }
    QLinearGradient sheen(rect.topLeft(), rect.bottomRight());
    sheen.setColorAt(0.0, QColor::fromRgbF(1, 1, 1, 0.22F));
    sheen.setColorAt(0.3, QColor::fromRgbF(1, 1, 1, 0.08F));
    sheen.setColorAt(0.6, Qt::transparent);
    sheen.setColorAt(1.0, QColor::fromRgbF(0, 0, 0, 0.03F));
    painter.fillPath(shape, sheen);

    QLinearGradient rim(rect.topLeft(), rect.bottomLeft());
    rim.setColorAt(0.0, QColor::fromRgbF(1, 1, 1, 0.45F));
    rim.setColorAt(0.25, QColor::fromRgbF(1, 1, 1, 0.15F));
    rim.setColorAt(0.5, QColor::fromRgbF(1, 1, 1, 0.05F));
    rim.setColorAt(0.75, Qt::transparent);
    QPen rimPen(QBrush(rim), 0.5, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    rimPen.setMiterLimit(10);
    painter.strokePath(
        Squircle::roundedRect(rect.adjusted(0.25, 0.25, -0.25, -0.25), style.cornerRadius - 0.25),
        rimPen);

    painter.setClipPath(shape);
    const QRectF band(rect.left(), rect.bottom() - 20, rect.width(), 20);
    QLinearGradient shade(band.topLeft(), band.bottomLeft());
    shade.setColorAt(0.0, Qt::transparent);
    shade.setColorAt(1.0, QColor::fromRgbF(0, 0, 0, 0.03F));
    painter.fillPath(Squircle::roundedRect(band, style.cornerRadius), shade);
    painter.restore();
}

}  // namespace LiquidGlass
