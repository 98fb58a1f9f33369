#include "Components/BreathingEffect.h"

#include <QEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>
#include <utility>

#include "Components/AccessibilityPreferences.h"
#include "Components/Easing.h"
#include "Components/GlassTheme.h"
#include "Components/VisibleSteps.h"

using std::chrono::milliseconds;

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
    wakeTimer_.setSingleShot(true);
    wakeTimer_.setTimerType(Qt::PreciseTimer);
    connect(&wakeTimer_, &QTimer::timeout, this, &BreathingEffect::wake);
    startTimer_.setSingleShot(true);
    startTimer_.setInterval(startDelay);
    connect(&startTimer_, &QTimer::timeout, this, [this] {
        isBreathing_ = true;
        startBreath();
    });
    connect(&motion_, &AccessibilityPreferences::changed, this, [this] {
        if (motion_.reduceMotion() && isBreathing_ && !isHovered_) {
            settleFrom(breathPhase());
        } else if (!motion_.reduceMotion()) {
            startBreath();
        }
    });
    if (target->isVisible()) {
        startTimer_.start();
    }
}

void BreathingEffect::setClock(const AnimationClock& clock) {
    clock_ = &clock;
    breathStart_ = VisibleSteps::swingStartBefore(now(), duration_, visiblePhaseStep());
    restUntil_ = milliseconds{0};
    scheduleWake();
}

bool BreathingEffect::isActive() const {
    return isBreathing_ && !isHovered_ && !motion_.reduceMotion();
}

bool BreathingEffect::isSettling() const {
    return settleStart_ && !isHovered_ && now() - *settleStart_ < settleTime;
}

double BreathingEffect::breathPhase() const {
    if (now() < restUntil_) {
        return 0.0;
    }
    // Shown in whole visible steps: between its wakes the breath draws one picture, which a
    // repaint for something else over the widget (the badge's pulse) copies as it stands.
    const double step = visiblePhaseStep();
    const double phase = swingAt(now() - breathStart_, duration_);
    return step > 0 && step < 1.0 ? std::min(1.0, VisibleSteps::levelOf(phase, step) * step)
                                  : phase;
}

double BreathingEffect::phase() const {
    if (isActive()) {
        return breathPhase();
    }
    if (isSettling()) {
        const double t = static_cast<double>((now() - *settleStart_).count()) /
                         static_cast<double>(settleTime.count());
        return settleFrom_ * (1.0 - easeInOut(t));
    }
    return 0.0;
}

double BreathingEffect::presence() const {
    if (!presenceStart_) {
        return presenceTo_;
    }
    const double t = static_cast<double>((now() - *presenceStart_).count()) /
                     static_cast<double>(presenceTime.count());
    return presenceFrom_ + (presenceTo_ - presenceFrom_) * easeInOut(std::clamp(t, 0.0, 1.0));
}

bool BreathingEffect::isMovingPresence() const {
    return presenceStart_.has_value();
}

void BreathingEffect::enter() {
    gone_ = nullptr;
    const bool seen = target_ && target_->isVisible() && !motion_.reduceMotion();
    presenceFrom_ = seen ? presence() : 1.0;
    presenceTo_ = 1.0;
    presenceStart_ = seen ? std::optional(now()) : std::nullopt;
    wake();
}

void BreathingEffect::leave(std::function<void()> gone) {
    presenceFrom_ = presence();
    presenceTo_ = 0.0;
    gone_ = std::move(gone);
    if (motion_.reduceMotion() || !target_ || !target_->isVisible()) {
        presenceStart_.reset();
        // Whoever is told may delete the widget and this effect with it.
        if (auto done = std::exchange(gone_, nullptr)) {
            done();
        }
        return;
    }
    presenceStart_ = now();
    wake();
}

std::optional<milliseconds> BreathingEffect::nextWake() const {
    return wakeAt_;
}

void BreathingEffect::startBreath() {
    // Breaths of one pace begun on a shared grid step together, and wake the process once for
    // all. The swing starts so flat that the move back onto the grid shows nothing.
    breathStart_ = VisibleSteps::swingStartBefore(now(), duration_, visiblePhaseStep());
    restUntil_ = milliseconds{0};
    settleStart_.reset();
    scheduleWake();
}

void BreathingEffect::rejoinBreath() {
    // Hovering put the view at rest at once; a fresh breath from here would fall out of step
    // with its neighbours and wake the window on its own.
    const qint64 cycle = 2 * duration_.count();
    const qint64 into = (now() - breathStart_).count();
    if (cycle > 0 && into > 0) {
        restUntil_ = breathStart_ + milliseconds((into + cycle - 1) / cycle * cycle);
    }
    scheduleWake();
}

void BreathingEffect::settleFrom(double phase) {
    settleFrom_ = phase;
    settleStart_ = now();
    scheduleWake();
}

double BreathingEffect::visiblePhaseStep() const {
    // The fade reaches 4 % of alpha: a pixel changes by 4 % of how far it stands off the
    // surface behind, at most the contrast of the cards' darkest ink. The edge moves by
    // intensity times half the widget.
    const double fade = VisibleSteps::colourStep /
                        (0.04 * VisibleSteps::contrastOnPaleSurface(GlassTheme::primaryInk));
    const double reach = target_ ? std::max(target_->width(), target_->height()) / 2.0 : 0.0;
    const double move = intensity_ * reach > 0 ? 1.0 / (intensity_ * reach) : 1.0;
    return std::min(fade, move);
}

void BreathingEffect::scheduleWake() {
    const bool shown = target_ && target_->isVisible();
    std::optional<milliseconds> due;
    bool transition = false;
    if (shown && isActive()) {
        // Counted from the last wake, not from the clock: a timer a hair early must not find
        // the old step and ask for the same moment again.
        const milliseconds from = std::max({now(), wakeAt_.value_or(milliseconds{0}), restUntil_});
        due = breathStart_ + VisibleSteps::nextSwingLevelChange(from - breathStart_, duration_,
                                                                visiblePhaseStep());
    }
    if (shown && (isSettling() || isMovingPresence())) {
        due = now() + VisibleSteps::transitionFrame;  // a short ease: every frame of it
        transition = true;
    }
    if (!due) {
        wakeTimer_.stop();
        wakeAt_.reset();
        return;
    }
    wakeAt_ = transition ? *due : VisibleSteps::onFrameGrid(*due);
    wakeTimer_.start(std::max(milliseconds{0}, *wakeAt_ - now()));
}

void BreathingEffect::wake() {
    // Coming and going fade what the widget draws behind it (a card's shadow) as much as the
    // widget; a step of breath or of settling changes the shadow's soft reach by less than an
    // eight-bit step, so it redraws the widget and its edge alone.
    const bool presenceFrame = presenceStart_.has_value();
    if (presenceStart_ && now() - *presenceStart_ >= presenceTime) {
        presenceStart_.reset();
        if (auto done = std::exchange(gone_, nullptr); done && presenceTo_ == 0.0) {
            const QPointer<BreathingEffect> self(this);
            done();  // may delete the widget and this effect with it
            if (!self) {
                return;
            }
        }
    }
    if (target_) {
        // Redrawing the area around the widget, not the widget, reuses its kept picture.
        if (QWidget* parent = target_->parentWidget()) {
            const QRectF widget(target_->geometry());
            const QRectF changed = presenceFrame ? boundingRectFor(widget) : breathArea(widget);
            parent->update(changed.toAlignedRect());
        } else {
            update();
        }
    }
    scheduleWake();
}

bool BreathingEffect::eventFilter(QObject* watched, QEvent* event) {
    if (watched == target_) {
        switch (event->type()) {
            case QEvent::Show:
                if (!isBreathing_) {
                    startTimer_.start();
                }
                scheduleWake();
                break;
            case QEvent::Hide:
                startTimer_.stop();
                shown_.clear();
                scheduleWake();
                break;
            case QEvent::HoverEnter:
            case QEvent::Enter:
                // At rest at once: no easing for the pointer.
                if (!isHovered_) {
                    isHovered_ = true;
                    settleStart_.reset();
                    wake();
                }
                break;
            case QEvent::HoverLeave:
            case QEvent::Leave:
                if (isHovered_) {
                    isHovered_ = false;
                    rejoinBreath();
                }
                break;
            default:
                break;
        }
    }
    return QGraphicsEffect::eventFilter(watched, event);
}

QMarginsF BreathingEffect::growth(const QSizeF& widget) const {
    // Half the extra scale on each side, and a pixel for antialiasing.
    const qreal x = widget.width() * intensity_ / 2 + 1;
    const qreal y = widget.height() * intensity_ / 2 + 1;
    return {x, y, x, y};
}

QRectF BreathingEffect::boundingRectFor(const QRectF& sourceRect) const {
    return sourceRect.marginsAdded(overhang() + growth(sourceRect.size()));
}

QRectF BreathingEffect::breathArea(const QRectF& widget) const {
    // The widget at its fullest breath, with a pixel or two for the soft highlight on its edge.
    constexpr qreal kEdge = 2;
    return widget.marginsAdded(growth(widget.size()) + QMarginsF(kEdge, kEdge, kEdge, kEdge)) &
           boundingRectFor(widget);
}

void BreathingEffect::drawBehind(QPainter&, const QRectF&) {}

QTransform BreathingEffect::breathTransform() const {
    if (!target_) {
        return {};
    }
    const double scale = this->scale();
    const QPointF centre = QRectF(target_->rect()).center();
    return QTransform::fromTranslate(-centre.x(), -centre.y()) *
           QTransform::fromScale(scale, scale) * QTransform::fromTranslate(centre.x(), centre.y());
}

qint64 BreathingEffect::pictureKey() const {
    return picture_.isNull() || picture_.isDetached() ? 0 : composed_.cacheKey();
}

void BreathingEffect::draw(QPainter* painter) {
    if (!target_) {
        return;
    }
    // Qt keeps no picture of a widget under an effect and would draw the widget and all its
    // children again for every breath. The picture is kept here, and Qt's own cache says when
    // it is stale: Qt holds a share of the picture it drew until something inside the widget
    // asks to be repainted, and then lets go of it, leaving this copy the only one.
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QRectF bounds(target_->rect());
    if (picture_.isNull() || picture_.isDetached() || picture_.devicePixelRatio() != ratio ||
        pictureSize_ != target_->size()) {
        picture_ = QPixmap();
        picture_ = sourcePixmap(Qt::LogicalCoordinates, &pictureOffset_);
        pictureSize_ = target_->size();
        // What lies behind the widget goes into the same picture: one blend per breath.
        const QRect whole = boundingRectFor(bounds).toAlignedRect();
        composed_ = QPixmap((QSizeF(whole.size()) * ratio).toSize());
        composed_.setDevicePixelRatio(ratio);
        composed_.fill(Qt::transparent);
        QPainter composer(&composed_);
        composer.translate(-whole.topLeft());
        drawBehind(composer, bounds);
        composer.drawPixmap(pictureOffset_, picture_);
        composedAt_ = whole.topLeft();
    }
    const QRegion area =
        VisibleSteps::repaintedRegion(*painter, boundingRectFor(bounds).toAlignedRect(), 1);
    const QTransform toDevice = breathTransform() * painter->deviceTransform();
    if (toDevice.type() <= QTransform::TxTranslate && opacity() == 1.0 &&
        toDevice.dx() == std::round(toDevice.dx()) && toDevice.dy() == std::round(toDevice.dy())) {
        // At rest the picture lands on whole pixels as it is.
        VisibleSteps::paintInBands(*painter, area, [&] {
            painter->setTransform(breathTransform(), true);
            painter->setOpacity(1.0);
            painter->drawPixmap(composedAt_, composed_);
        });
        return;
    }
    const Shown& shown = shownFor(toDevice, opacity());
    const QTransform toPixels = VisibleSteps::onDevicePixels(*painter, shown.at);
    VisibleSteps::paintInBands(*painter, area, [&] {
        painter->setWorldTransform(toPixels);
        painter->setOpacity(1.0);
        painter->drawImage(0, 0, shown.image);
    });
}

namespace {

// How far `to` moves a picture from where `from` puts it, if that is all it does and by whole
// pixels.
std::optional<QPoint> wholePixelShift(const QTransform& from, const QTransform& to) {
    if (from.m11() != to.m11() || from.m12() != to.m12() || from.m13() != to.m13() ||
        from.m21() != to.m21() || from.m22() != to.m22() || from.m23() != to.m23() ||
        from.m33() != to.m33()) {
        return std::nullopt;
    }
    const double dx = to.dx() - from.dx();
    const double dy = to.dy() - from.dy();
    // Offsets of widgets add whole numbers to a fractional breath; the sums round a little.
    constexpr double kLeeway = 1e-6;
    if (std::abs(dx - std::round(dx)) > kLeeway || std::abs(dy - std::round(dy)) > kLeeway) {
        return std::nullopt;
    }
    return QPoint(static_cast<int>(std::round(dx)), static_cast<int>(std::round(dy)));
}

}  // namespace

std::size_t BreathingEffect::levelsKept() const {
    // Every level of a breath but its rest, which is drawn as it stands; a few at most.
    constexpr double kMostKept = 6;
    const double step = visiblePhaseStep();
    return step > 0 && step < 1.0 ? static_cast<std::size_t>(std::clamp(
                                        VisibleSteps::levelOf(1.0, step), 1.0, kMostKept))
                                  : 1;
}

const BreathingEffect::Shown& BreathingEffect::shownFor(const QTransform& toDevice,
                                                        double opacity) {
    const qint64 source = composed_.cacheKey();
    if (!shown_.empty() && shown_.front().source != source) {
        shown_.clear();  // the widget was drawn again: every level shows the old picture
    }
    for (auto kept = shown_.begin(); kept != shown_.end(); ++kept) {
        if (kept->opacity != opacity) {
            continue;
        }
        // A level's picture serves any shift of where it lands by whole pixels: a picture of
        // the page for a cross-fade places it elsewhere on its own device.
        if (const std::optional<QPoint> shift = wholePixelShift(kept->toDevice, toDevice)) {
            kept->at += *shift;
            kept->toDevice = toDevice;
            std::rotate(shown_.begin(), kept, std::next(kept));
            return shown_.front();
        }
    }
    const QRectF area(composedAt_, composed_.deviceIndependentSize());
    const QRect pixels = toDevice.mapRect(area).toAlignedRect();
    Shown shown{QImage(pixels.size(), QImage::Format_ARGB32_Premultiplied), pixels.topLeft(),
                toDevice, opacity, source};
    shown.image.fill(Qt::transparent);
    QPainter painter(&shown.image);
    painter.setOpacity(opacity);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, scale() != 1.0);
    VisibleSteps::paintInBands(painter, QRegion(shown.image.rect()), [&] {
        painter.setTransform(toDevice * QTransform::fromTranslate(-pixels.left(), -pixels.top()));
        painter.drawPixmap(composedAt_, composed_);
    });
    painter.end();
    shown_.insert(shown_.begin(), std::move(shown));
    if (shown_.size() > levelsKept()) {
        shown_.pop_back();
    }
    return shown_.front();
}
