#include "Components/AmbientBackground.h"

#include <QPainter>
#include <QRadialGradient>

#include "Components/GlassTheme.h"
#include "Components/ImageBlur.h"

namespace {

void paintGlow(QPainter& painter, QSizeF size, QPointF unitCentre, qreal radius, QColor colour) {
    const QPointF centre(unitCentre.x() * size.width(), unitCentre.y() * size.height());
    QRadialGradient glow(centre, radius);
    glow.setColorAt(0.0, colour);
    colour.setAlpha(0);
    glow.setColorAt(1.0, colour);
    painter.fillRect(QRectF(QPointF(0, 0), size), glow);
}

// The glows are wide and soft: blurring a small copy and scaling it up looks the same as
// blurring the full size, at a sixty-fourth of the work.
constexpr int kBlurDownscale = 8;

}  // namespace

AmbientBackground::AmbientBackground(RiskLevel /*level*/, QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage AmbientBackground::render(QSize size, qreal devicePixelRatio) {
    QImage image((QSizeF(size) * devicePixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter painter(&image);
    const QSizeF area(size);
    painter.fillRect(QRectF(QPointF(0, 0), area), QColor(246, 248, 246));
    paintGlow(painter, area, {0.3, 0.4}, 400,
              GlassTheme::withOpacity(GlassTheme::standardGreen(), 0.175));
    paintGlow(painter, area, {0.7, 0.75}, 500,
              GlassTheme::withOpacity(GlassTheme::standardGreen(), 0.126));
    paintGlow(painter, area, {0.5, 0.1}, 600,
              GlassTheme::withOpacity(GlassTheme::standardOrange(), 0.056));
    return image;
}

QImage AmbientBackground::renderBlurred(QSize size, qreal devicePixelRatio) {
    const QImage sharp = render(size, 1.0);
    const QSize small(std::max(1, size.width() / kBlurDownscale),
                      std::max(1, size.height() / kBlurDownscale));
    QImage soft =
        ImageBlur::blurred(sharp.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                           blurRadius / kBlurDownscale);
    QImage full = soft.scaled((QSizeF(size) * devicePixelRatio).toSize(), Qt::IgnoreAspectRatio,
                              Qt::SmoothTransformation);
    full.setDevicePixelRatio(devicePixelRatio);
    return full;
}

void AmbientBackground::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    if (cached_.isNull() || cached_.deviceIndependentSize().toSize() != size() ||
        cached_.devicePixelRatio() != ratio) {
        cached_ = QPixmap::fromImage(renderBlurred(size(), ratio));
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, cached_);
}
