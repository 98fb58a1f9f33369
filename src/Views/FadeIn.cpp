#include "Views/FadeIn.h"

#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>
#include <QTimer>

#include "Components/Easing.h"
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
    fade->setEasingCurve(easeInOutCurve());
    // The plain widget paints without an offscreen pass; drop the effect once it is opaque.
    QObject::connect(fade, &QAbstractAnimation::finished, &widget,
                     [target = &widget] { target->setGraphicsEffect(nullptr); });
    fade->start();
}
