#include "Views/Fade.h"

#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>

#include "Components/AccessibilityPreferences.h"
#include "Components/Easing.h"

namespace {

// The opacity effect a fade drives, reusing the one of a fade still under way so that a widget
// turned back mid-fade goes on from where it is.
QGraphicsOpacityEffect* fadingEffect(QWidget& widget, double from) {
    if (auto* fading = qobject_cast<QGraphicsOpacityEffect*>(widget.graphicsEffect())) {
        for (QPropertyAnimation* running : fading->findChildren<QPropertyAnimation*>()) {
            running->stop();
            running->deleteLater();
        }
        return fading;
    }
    auto* effect = new QGraphicsOpacityEffect(&widget);
    effect->setOpacity(from);
    widget.setGraphicsEffect(effect);
    return effect;
}

bool fades(const QWidget& widget, const AccessibilityPreferences& motion) {
    const QGraphicsEffect* effect = widget.graphicsEffect();
    return !motion.reduceMotion() && widget.isVisible() &&
           (!effect || qobject_cast<const QGraphicsOpacityEffect*>(effect));
}

void fadeTo(QGraphicsOpacityEffect& effect, double opacity, std::chrono::milliseconds duration,
            std::function<void()> done) {
    auto* fade = new QPropertyAnimation(&effect, "opacity", &effect);
    fade->setDuration(static_cast<int>(duration.count()));
    fade->setEndValue(opacity);
    fade->setEasingCurve(easeInOutCurve());
    QObject::connect(fade, &QAbstractAnimation::finished, &effect, std::move(done));
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

}  // namespace

void fadeIn(QWidget& widget, std::chrono::milliseconds duration,
            const AccessibilityPreferences& motion) {
    if (!fades(widget, motion)) {
        return;
    }
    // The plain widget paints without an offscreen pass: the effect goes once it is opaque.
    fadeTo(*fadingEffect(widget, 0.0), 1.0, duration,
           [target = &widget] { target->setGraphicsEffect(nullptr); });
}

void fadeOut(QWidget& widget, std::chrono::milliseconds duration,
             const AccessibilityPreferences& motion, std::function<void()> gone) {
    if (!fades(widget, motion)) {
        gone();
        return;
    }
    fadeTo(*fadingEffect(widget, 1.0), 0.0, duration, std::move(gone));
}
