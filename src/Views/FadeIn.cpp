#include "Views/FadeIn.h"

#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>
#include <QTimer>

#include "Components/MotionPreferences.h"

void fadeIn(QWidget& widget, std::chrono::milliseconds duration, const MotionPreferences& motion) {
    if (motion.reduceMotion() || !widget.isVisible() || widget.graphicsEffect()) {
        return;  // a widget drawn through another effect keeps that one
    }
    auto* effect = new QGraphicsOpacityEffect(&widget);
    effect->setOpacity(0.0);
    widget.setGraphicsEffect(effect);
    auto* fade = new QPropertyAnimation(effect, "opacity", effect);
    fade->setDuration(static_cast<int>(duration.count()));
    fade->setStartValue(0.0);
    fade->setEndValue(1.0);
    fade->setEasingCurve(QEasingCurve::InOutQuad);
    // The plain widget paints without an offscreen pass; drop the effect once it is opaque.
    QObject::connect(fade, &QAbstractAnimation::finished, &widget,
                     [target = &widget] { target->setGraphicsEffect(nullptr); });
    fade->start();
}

void fadeOut(QWidget& widget, std::chrono::milliseconds duration, const MotionPreferences& motion,
             std::function<void()> gone) {
    auto* running = qobject_cast<QGraphicsOpacityEffect*>(widget.graphicsEffect());
    if (motion.reduceMotion() || !widget.isVisible() || (widget.graphicsEffect() && !running)) {
        gone();
        return;
    }
    auto* effect = running ? running : new QGraphicsOpacityEffect(&widget);
    const qreal from = running ? running->opacity() : 1.0;
    if (!running) {
        widget.setGraphicsEffect(effect);
    }
    // A fade in still running gives way to this one.
    for (auto* other : effect->findChildren<QPropertyAnimation*>()) {
        other->disconnect();
        other->stop();
        other->deleteLater();
    }
    auto* fade = new QPropertyAnimation(effect, "opacity", effect);
    fade->setDuration(static_cast<int>(duration.count()));
    fade->setStartValue(from);
    fade->setEndValue(0.0);
    fade->setEasingCurve(QEasingCurve::InOutQuad);
    QObject::connect(fade, &QAbstractAnimation::finished, &widget,
                     [target = &widget, gone = std::move(gone)] {
                         target->setGraphicsEffect(nullptr);
                         gone();
                     });
    fade->start();
}
