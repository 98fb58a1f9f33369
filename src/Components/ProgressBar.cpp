#include "Components/ProgressBar.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

#include "Components/Easing.h"
#include "Components/GlassTheme.h"
#include "Components/Squircle.h"

ProgressBar::ProgressBar(QWidget* parent) : QWidget(parent) {
    setFixedHeight(4);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    glide_.setDuration(500);
    glide_.setEasingCurve(easeInOutCurve());
    connect(&glide_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        shown_ = value.toDouble();
        update();
    });
}

qreal ProgressBar::fillWidth(qreal barWidth, double progress) {
    return barWidth * std::clamp(progress, 0.0, 1.0);
}

void ProgressBar::setProgress(double progress, bool animated) {
    // Pages hand their bars every figure again at each change of the day; a bar already at
    // its value, or gliding there, stays as it is rather than redraw its card for half a second.
    if (progress == target_ &&
        (shown_ == progress || (animated && glide_.state() == QAbstractAnimation::Running))) {
        return;
    }
    target_ = progress;
    glide_.stop();
    if (animated && isVisible()) {
        glide_.setStartValue(shown_);
        glide_.setEndValue(progress);
        glide_.start();
        return;
    }
    shown_ = progress;
    update();
}

void ProgressBar::setColor(const QColor& color) {
    if (color == color_) {
        return;
    }
    color_ = color;
    update();
}

void ProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bar(rect());
    painter.fillPath(Squircle::roundedRect(bar, 3), QColor::fromRgbF(0, 0, 0, 0.06F));
    const qreal filled = fillWidth(bar.width(), shown_);
    if (filled <= 0) {
        return;
    }
    QLinearGradient fill(bar.topLeft(), bar.topRight());
    fill.setColorAt(0.0, GlassTheme::withOpacity(color_, 0.9));
    fill.setColorAt(1.0, GlassTheme::withOpacity(color_, 1.0));
    painter.fillPath(Squircle::roundedRect(QRectF(bar.left(), bar.top(), filled, bar.height()), 3),
                     fill);
}
