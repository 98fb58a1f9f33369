#include "Components/CastShadow.h"

#include <QPaintDevice>
#include <QPainter>

#include "Components/VisibleSteps.h"

CastShadow::CastShadow(QObject* parent) : QGraphicsDropShadowEffect(parent) {
    // A new colour, blur or offset is a new picture.
    const auto forget = [this] { source_ = QPixmap(); };
    connect(this, &QGraphicsDropShadowEffect::colorChanged, this, forget);
    connect(this, &QGraphicsDropShadowEffect::blurRadiusChanged, this, forget);
    connect(this, &QGraphicsDropShadowEffect::offsetChanged, this, forget);
}

void CastShadow::draw(QPainter* painter) {
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    if (source_.isNull() || source_.isDetached() || source_.devicePixelRatio() != ratio ||
        composedFor_ != painter->worldTransform()) {
        compose(*painter, ratio);
    }
    if (composed_.isNull()) {
        return;
    }
    // The picture lies in world coordinates before the painter's transform, as Qt's shadow does.
    painter->save();
    painter->setWorldTransform(QTransform());
    const QRegion area = VisibleSteps::repaintedRegion(*painter, composedRect_, 1);
    VisibleSteps::paintInBands(*painter, area,
                               [&] { painter->drawPixmap(composedRect_.topLeft(), composed_); });
    painter->restore();
}

void CastShadow::compose(QPainter& painter, qreal ratio) {
    composedFor_ = painter.worldTransform();
    composedRect_ = boundingRectFor(sourceBoundingRect(Qt::DeviceCoordinates)).toAlignedRect();
    composed_ = QPixmap((QSizeF(composedRect_.size()) * ratio).toSize());
    composed_.setDevicePixelRatio(ratio);
    composed_.fill(Qt::transparent);
    if (!composedRect_.isEmpty()) {
        // Qt's own shadow, drawn once into the picture: its world is the painter's, moved so
        // that the picture's corner is the origin.
        QPainter composer(&composed_);
        composer.setWindow(composedRect_);
        composer.setViewport(QRect(QPoint(0, 0), composedRect_.size()));
        QGraphicsDropShadowEffect::draw(&composer);
    }
    // Qt keeps a share of this picture until the widget changes, and then lets go of it.
    QPoint offset;
    source_ = sourcePixmap(Qt::DeviceCoordinates, &offset, PadToEffectiveBoundingRect);
}
