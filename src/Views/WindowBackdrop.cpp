#include "Views/WindowBackdrop.h"

#include <QPaintEvent>
#include <QPainter>

#include "Components/AmbientBackground.h"
#include "Components/GlassTheme.h"
#include "Components/VisibleSteps.h"

WindowBackdrop::WindowBackdrop(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void WindowBackdrop::paintEvent(QPaintEvent* event) {
    const qreal ratio = devicePixelRatioF();
    if (composed_.isNull() || composed_.deviceIndependentSize().toSize() != size() ||
        composed_.devicePixelRatio() != ratio) {
        QImage image = AmbientBackground::renderBlurred(size(), ratio);
        QPainter painter(&image);
        const QRectF area(QPointF(0, 0), QSizeF(size()));
        painter.fillRect(area, GlassTheme::ultraThinMaterial());
        painter.setCompositionMode(QPainter::CompositionMode_Overlay);
        painter.fillRect(area, QColor::fromRgbF(1, 1, 1, 0.02F));
        painter.end();
        composed_ = QPixmap::fromImage(image);
    }
    QPainter painter(this);
    // The breathing cards repaint a few rows at a time: in bands, each stays on this thread.
    VisibleSteps::paintInBands(painter, event->region(),
                               [&] { painter.drawPixmap(0, 0, composed_); });
}
