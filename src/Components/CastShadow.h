#pragma once

#include <QGraphicsDropShadowEffect>
#include <QPixmap>
#include <QTransform>

// A widget's soft drop shadow, kept with the widget as one picture. Qt draws the widget and
// blurs its shadow again whenever anything around it is repainted, as a card breathing beside
// it is several times a second; this keeps the picture until the widget itself changes.
class CastShadow final : public QGraphicsDropShadowEffect {
    Q_OBJECT

public:
    explicit CastShadow(QObject* parent = nullptr);

protected:
    void draw(QPainter* painter) override;

private:
    void compose(QPainter& painter, qreal ratio);

    // Qt's own picture of the widget, shared with Qt until the widget asks to be repainted.
    QPixmap source_;
    // The shadow with the widget over it, where they lie in the painter's world coordinates.
    QPixmap composed_;
    QRect composedRect_;
    QTransform composedFor_;
};
