#include "Components/BreathingEffect.h"

#include <QEvent>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "Components/AccessibilityPreferences.h"
#include "Components/Easing.h"

using std::chrono::milliseconds;

namespace {

// A breath moves a card by about a pixel over seconds: ten frames a second are smooth enough.
constexpr milliseconds kFrame{100};

}  // namespace

BreathingEffect::BreathingEffect(QWidget* target, double intensity, milliseconds duration,
                                 AccessibilityPreferences& motion)
    : QGraphicsEffect(target),
      target_(target),
      intensity_(intensity),
      duration_(duration),
      motion_(motion) {
    target->setGraphicsEffect(this);
    target->installEventFilter(this);
    target->setAttribute(Qt::WA_Hover);
    ticker_.setInterval(kFrame);
    connect(&ticker_, &QTimer::timeout, this, [this] {
        redrawIfVisiblyChanged();
        updateTicking();
    });
    startTimer_.setSingleShot(true);
    startTimer_.setInterval(startDelay);
    connect(&startTimer_, &QTimer::timeout, this, [this] {
        isBreathing_ = true;
        breathClock_.start();
        updateTicking();
    });
    connect(&motion_, &AccessibilityPreferences::changed, this, [this] {
        if (motion_.reduceMotion() && breathClock_.isValid()) {
            settleFrom_ = swingAt(milliseconds(breathClock_.elapsed()), duration_);
            settleClock_.start();
        } else if (!motion_.reduceMotion()) {
            breathClock_.start();
        }
        updateTicking();
    });
    if (target->isVisible()) {
        startTimer_.start();
    }
}

bool BreathingEffect::isActive() const {
    return isBreathing_ && !isHovered_ && !motion_.reduceMotion();
}

double BreathingEffect::phase() const {
    if (isActive()) {
        return swingAt(milliseconds(breathClock_.elapsed()), duration_);
    }
    if (settleClock_.isValid() && settleClock_.elapsed() < settleTime.count() && !isHovered_) {
        const double t =
            static_cast<double>(settleClock_.elapsed()) / static_cast<double>(settleTime.count());
        return settleFrom_ * (1.0 - easeInOut(t));
    }
    return 0.0;
}

void BreathingEffect::updateTicking() {
    const bool settling = settleClock_.isValid() && settleClock_.elapsed() < settleTime.count();
    const bool shown = target_ && target_->isVisible();
    if (shown && (isActive() || settling)) {
        if (!ticker_.isActive()) {
            ticker_.start();
        }
    } else {
        ticker_.stop();
    }
}

bool BreathingEffect::eventFilter(QObject* watched, QEvent* event) {
    if (watched == target_) {
        switch (event->type()) {
            case QEvent::Show:
                if (!isBreathing_) {
                    startTimer_.start();
                }
                updateTicking();
                break;
            case QEvent::Hide:
                startTimer_.stop();
                updateTicking();
                break;
            case QEvent::HoverEnter:
            case QEvent::Enter:
                // At rest at once: no easing for the pointer.
                isHovered_ = true;
                settleClock_.invalidate();
                redrawIfVisiblyChanged();
                updateTicking();
                break;
            case QEvent::HoverLeave:
            case QEvent::Leave:
                if (isHovered_) {
                    isHovered_ = false;
                    breathClock_.start();  // a fresh breath from rest
                    updateTicking();
                }
                break;
            default:
                break;
        }
    }
    return QGraphicsEffect::eventFilter(watched, event);
}

QRectF BreathingEffect::boundingRectFor(const QRectF& sourceRect) const {
    const qreal growX = sourceRect.width() * intensity_ / 2 + 1;
    const qreal growY = sourceRect.height() * intensity_ / 2 + 1;
    return sourceRect.marginsAdded(overhang()).adjusted(-growX, -growY, growX, growY);
}

void BreathingEffect::drawBehind(QPainter&, const QRectF&) {}

void BreathingEffect::redrawIfVisiblyChanged() {
    if (!target_) {
        return;
    }
    // A breath moves a card's edge by well under a pixel over seconds; most ticks would draw
    // the same picture again. Only a quarter pixel of movement or 1 % of opacity is redrawn.
    const double swing = phase();
    const qreal reach = std::max(target_->width(), target_->height()) / 2.0;
    const bool moved = std::abs(swing - drawnPhase_) * intensity_ * reach >= 0.25;
    const bool faded = std::abs(swing - drawnPhase_) * 0.04 >= 0.01;
    if (!moved && !faded && !(swing == 0.0 && drawnPhase_ != 0.0)) {
        return;
    }
    // Redrawing the area around the widget, not the widget, reuses its cached picture.
    if (QWidget* parent = target_->parentWidget()) {
        parent->update(boundingRectFor(QRectF(target_->geometry())).toAlignedRect());
    } else {
        update();
    }
}

void BreathingEffect::draw(QPainter* painter) {
    QPoint offset;
    const QPixmap source = sourcePixmap(Qt::LogicalCoordinates, &offset);
    // The widget itself, not the padded area the effect may draw in.
    const QRectF bounds = sourceBoundingRect(Qt::LogicalCoordinates);
    const double swing = phase();
    drawnPhase_ = swing;
    painter->save();
    const QPointF centre = bounds.center();
    painter->translate(centre);
    painter->scale(1.0 + intensity_ * swing, 1.0 + intensity_ * swing);
    painter->translate(-centre);
    painter->setOpacity(1.0 - 0.04 * swing);
    drawBehind(*painter, bounds);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, swing > 0);
    painter->drawPixmap(offset, source);
    painter->restore();
}
