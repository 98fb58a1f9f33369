#include "Views/ToggleSwitch.h"

#include <QPainter>

#include "Components/GlassTheme.h"
#include "Components/Squircle.h"

ToggleSwitch::ToggleSwitch(const QString& name, QWidget* parent) : PageButton(QString(), parent) {
    setAccessibleName(name);
    setCheckable(true);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    slide_.setDuration(150);
    slide_.setEasingCurve(QEasingCurve::OutCubic);
    connect(&slide_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        knob_ = value.toDouble();
        update();
    });
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        slide_.stop();
        if (!isVisible()) {
            knob_ = on ? 1.0 : 0.0;
            update();
            return;
        }
        slide_.setStartValue(knob_);
        slide_.setEndValue(on ? 1.0 : 0.0);
        slide_.start();
    });
}

void ToggleSwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(2, 2, -2, -2);
    const QPainterPath capsule = Squircle::capsule(track);
    const QColor off = GlassTheme::withOpacity(GlassTheme::standardGray(), 0.35);
    const QColor on = GlassTheme::accent();
    const auto t = static_cast<float>(knob_);
    painter.fillPath(capsule, QColor::fromRgbF(off.redF() + (on.redF() - off.redF()) * t,
                                               off.greenF() + (on.greenF() - off.greenF()) * t,
                                               off.blueF() + (on.blueF() - off.blueF()) * t,
                                               off.alphaF() + (on.alphaF() - off.alphaF()) * t));
    const qreal diameter = track.height() - 4;
    const qreal x = track.left() + 2 + (track.width() - 4 - diameter) * knob_;
    const QRectF knob(x, track.top() + 2, diameter, diameter);
    painter.setPen(QPen(QColor(0, 0, 0, 30), 0.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(knob);
    paintFocusRing(painter, Squircle::capsule(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75)));
}
