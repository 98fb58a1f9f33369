#include "Views/FilledButton.h"

#include <QFontMetrics>
#include <QPainter>

#include "Components/Squircle.h"

FilledButton::FilledButton(const QString& text, FilledButtonStyle style, QWidget* parent)
    : PageButton(text, parent), style_(std::move(style)) {
    setFont(PageText::fontOf(style_.text));
    setSizePolicy(style_.fullWidth ? QSizePolicy::Expanding : QSizePolicy::Fixed,
                  QSizePolicy::Fixed);
}

void FilledButton::setDimmed(bool dimmed) {
    if (dimmed_ != dimmed) {
        dimmed_ = dimmed;
        update();
    }
}

QSize FilledButton::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 2 * style_.paddingX,
            metrics.height() + 2 * style_.paddingY};
}

void FilledButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(dimmed_ ? 0.5 : 1.0);
    const QPainterPath shape =
        Squircle::roundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), style_.cornerRadius);
    painter.fillPath(shape, isDown() ? style_.fill.darker(120) : style_.fill);
    painter.setFont(font());
    painter.setPen(style_.text.color);
    painter.drawText(rect(), Qt::AlignCenter, text());
    painter.setOpacity(1.0);
    paintFocusRing(painter, Squircle::roundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5),
                                                  style_.cornerRadius - 1));
}
