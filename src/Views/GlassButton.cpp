#include "Views/GlassButton.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>

#include "Components/AccessibilityPreferences.h"
#include "Components/CastShadow.h"
#include "Components/GlassTheme.h"
#include "Components/Squircle.h"

namespace {

// Room inside the widget for the swell under the pointer.
constexpr qreal kSwellRoom = 3;

}  // namespace

GlassButton::GlassButton(const QString& text, GlassButtonStyle style,
                         AccessibilityPreferences& motion, QWidget* parent)
    : PageButton(text, parent), style_(std::move(style)), motion_(motion) {
    setFont(PageText::fontOf(style_.text));
    setSizePolicy(style_.fullWidth ? QSizePolicy::Expanding : QSizePolicy::Fixed,
                  QSizePolicy::Fixed);
    auto* shadow = new CastShadow(this);
    shadow->setColor(QColor::fromRgbF(0.12F, 0.25F, 0.18F, 0.3F));
    shadow->setBlurRadius(style_.shadowRadius * 2);
    shadow->setOffset(0, style_.shadowDrop);
    setGraphicsEffect(shadow);
    connect(&scaling_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        scale_ = value.toDouble();
        update();
    });
    connect(this, &PageButton::hoveredChanged, this, [this] { moveScale(false); });
}

double GlassButton::targetScale() const {
    if (pressedLook_) {
        return style_.pressedScale;
    }
    return isHovered() ? style_.hoverScale : 1.0;
}

void GlassButton::setPressedLook(bool pressed) {
    if (pressedLook_ == pressed) {
        return;
    }
    pressedLook_ = pressed;
    moveScale(true);
}

void GlassButton::moveScale(bool springy) {
    scaling_.stop();
    if (motion_.reduceMotion()) {
        scale_ = targetScale();
        update();
        return;
    }
    scaling_.setStartValue(scale_);
    scaling_.setEndValue(targetScale());
    // A spring that overshoots a little and settles, or a plain ease-out.
    scaling_.setEasingCurve(springy ? QEasingCurve::OutBack : QEasingCurve::OutCubic);
    scaling_.setDuration(static_cast<int>((springy ? springTime : hoverTime).count()));
    scaling_.start();
}

QSize GlassButton::sizeHint() const {
    const QFontMetrics metrics(font());
    const int room = static_cast<int>(2 * kSwellRoom);
    return {metrics.horizontalAdvance(text()) + 2 * style_.paddingX + room,
            metrics.height() + 2 * style_.paddingY + room};
}

void GlassButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(rect()).adjusted(kSwellRoom, kSwellRoom, -kSwellRoom, -kSwellRoom);
    painter.translate(body.center());
    painter.scale(scale_, scale_);
    painter.translate(-body.center());

    const QPainterPath shape = Squircle::roundedRect(body, style_.cornerRadius);
    painter.fillPath(shape, GlassTheme::ultraThinMaterial());
    QLinearGradient tint(body.topLeft(), body.bottomLeft());
    tint.setColorAt(0, style_.fillTop);
    tint.setColorAt(1, style_.fillBottom);
    painter.fillPath(shape, tint);

    QLinearGradient rim(body.topLeft(), body.bottomLeft());
    for (const auto& [at, opacity] : style_.rimStops) {
        rim.setColorAt(at, GlassTheme::withOpacity(Qt::white, opacity));
    }
    painter.setPen(QPen(QBrush(rim), 0.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(
        Squircle::roundedRect(body.adjusted(0.25, 0.25, -0.25, -0.25), style_.cornerRadius));

    painter.setFont(font());
    painter.setPen(style_.text.color);
    painter.drawText(body, Qt::AlignCenter, text());
    paintFocusRing(painter, Squircle::roundedRect(body.adjusted(-1.5, -1.5, 1.5, 1.5),
                                                  style_.cornerRadius + 1.5));
}
