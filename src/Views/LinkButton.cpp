#include "Views/LinkButton.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int kGap = 4;
constexpr int kPad = 3;  // room for the focus outline

QColor mix(const QColor& from, const QColor& to, double t) {
    return QColor::fromRgbF(static_cast<float>(from.redF() + (to.redF() - from.redF()) * t),
                            static_cast<float>(from.greenF() + (to.greenF() - from.greenF()) * t),
                            static_cast<float>(from.blueF() + (to.blueF() - from.blueF()) * t),
                            static_cast<float>(from.alphaF() + (to.alphaF() - from.alphaF()) * t));
}

}  // namespace

LinkButton::LinkButton(const QString& text, const TextStyle& style, QWidget* parent)
    : PageButton(text, parent), style_(style) {
    setFont(PageText::fontOf(style));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    hoverBlend_.setDuration(static_cast<int>(hoverFade.count()));
    hoverBlend_.setEasingCurve(QEasingCurve::OutCubic);
    hoverBlend_.setStartValue(0.0);
    hoverBlend_.setEndValue(1.0);
    connect(&hoverBlend_, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
    connect(this, &PageButton::hoveredChanged, this, [this](bool hovered) {
        if (!hoverColor_) {
            return;
        }
        hoverBlend_.setDirection(hovered ? QAbstractAnimation::Forward
                                         : QAbstractAnimation::Backward);
        if (hoverBlend_.state() != QAbstractAnimation::Running) {
            hoverBlend_.start();
        }
    });
}

void LinkButton::setSymbol(Symbol symbol, qreal pointSize) {
    symbol_ = symbol;
    symbolSide_ = Symbols::sideFor(pointSize) * 0.8;
    updateGeometry();
    update();
}

void LinkButton::setHoverColor(const QColor& color) {
    hoverColor_ = color;
    update();
}

QColor LinkButton::shownColor() const {
    if (!hoverColor_) {
        return style_.color;
    }
    double t = isHovered() ? 1.0 : 0.0;
    if (hoverBlend_.state() == QAbstractAnimation::Running) {
        t = hoverBlend_.currentValue().toDouble();
    }
    return mix(style_.color, *hoverColor_, t);
}

QSize LinkButton::sizeHint() const {
    const QFontMetrics metrics(font());
    int width = metrics.horizontalAdvance(text());
    int height = metrics.height();
    if (symbol_) {
        const int side = static_cast<int>(std::ceil(symbolSide_));
        width += side + kGap;
        height = std::max(height, side);
    }
    return {width + 2 * kPad, height + 2 * kPad};
}

void LinkButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = isDown() ? shownColor().darker(130) : shownColor();
    const QSize content = sizeHint() - QSize(2 * kPad, 2 * kPad);
    QRectF area(QPointF(0, 0), QSizeF(content));
    area.moveCenter(QRectF(rect()).center());
    qreal x = area.left();
    if (symbol_) {
        const QRectF box(x, area.center().y() - symbolSide_ / 2, symbolSide_, symbolSide_);
        Symbols::paint(painter, *symbol_, box, ink);
        x += symbolSide_ + kGap;
    }
    painter.setFont(font());
    painter.setPen(ink);
    painter.drawText(QRectF(x, area.top(), area.right() - x, area.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text());
    QPainterPath outline;
    outline.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 5, 5);
    paintFocusRing(painter, outline);
}
