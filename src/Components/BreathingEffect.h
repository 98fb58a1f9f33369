#pragma once

#include <QGraphicsEffect>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QTransform>
#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include "Components/AnimationClock.h"

class AccessibilityPreferences;

// Makes a widget breathe: it grows by `intensity` and fades to 0.96 over `duration`, and back,
// forever, from 0.1 s after it is shown; a pointer resting on it puts it at rest at once.
// It wakes only when the breath has changed the picture by a step someone could see, and not
// at all while the widget is hidden or motion is reduced.
class BreathingEffect : public QGraphicsEffect {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds startDelay{100};
    static constexpr std::chrono::milliseconds settleTime{300};
    // Coming on screen and leaving it: a fade with a scale from 0.95, ease-in-out.
    static constexpr std::chrono::milliseconds presenceTime{350};

    // Installs itself on `target`, which owns it.
    BreathingEffect(QWidget* target, double intensity, std::chrono::milliseconds duration,
                    AccessibilityPreferences& motion);

    // Time for the breath from now on; the clock must outlive the effect.
    void setClock(const AnimationClock& clock);

    double intensity() const { return intensity_; }
    bool isBreathing() const { return isBreathing_; }
    bool isHovered() const { return isHovered_; }
    bool isActive() const;
    // When the breath next wakes to redraw, on its clock; none while nothing moves.
    std::optional<std::chrono::milliseconds> nextWake() const;
    // How far into a breath the widget is, 0 at rest to 1 at the peak.
    double phase() const;
    // How far the widget has come in, 0 (gone) to 1 (fully there).
    double presence() const;
    double scale() const { return (1.0 + intensity_ * phase()) * (0.95 + 0.05 * presence()); }
    double opacity() const { return (1.0 - 0.04 * phase()) * presence(); }

    // The widget fades in from 95 % of its size; at once when motion is reduced.
    void enter();
    // The widget fades out to 95 % of its size, then `gone` runs (to hide or delete it); at
    // once when motion is reduced.
    void leave(std::function<void()> gone);
    // The breath's scale about the widget's centre, in the widget's coordinates.
    QTransform breathTransform() const;
    // Names the picture of the widget the breath now draws; 0 once something inside the
    // widget has asked to be repainted, until the breath next draws it.
    qint64 pictureKey() const;

protected:
    QRectF boundingRectFor(const QRectF& sourceRect) const override;
    void draw(QPainter* painter) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Drawn under the widget, in its coordinates, before the breathing transform. Beyond the
    // widget's edge it must be faint (a soft shadow): a breath's step does not redraw it there.
    virtual void drawBehind(QPainter& painter, const QRectF& bounds);
    virtual QMarginsF overhang() const { return {}; }

private:
    std::chrono::milliseconds now() const { return clock_->now(); }
    // The finest change of phase that shows on this widget.
    double visiblePhaseStep() const;
    void scheduleWake();
    void wake();
    // How far the widget reaches beyond its rect at the breath's peak.
    QMarginsF growth(const QSizeF& widget) const;
    // What a step of the breath changes visibly, in the parent's coordinates.
    QRectF breathArea(const QRectF& widget) const;
    void startBreath();
    void rejoinBreath();
    // Where the breath is, in whole visible steps; at rest while it waits to rejoin its
    // neighbours.
    double breathPhase() const;
    void settleFrom(double phase);
    bool isSettling() const;
    bool isMovingPresence() const;

    QPointer<QWidget> target_;
    double intensity_;
    std::chrono::milliseconds duration_;
    AccessibilityPreferences& motion_;
    SteadyAnimationClock steadyClock_;
    const AnimationClock* clock_ = &steadyClock_;
    bool isBreathing_ = false;
    bool isHovered_ = false;
    std::chrono::milliseconds breathStart_{0};
    // After the pointer leaves, the view rests until its breath next passes through rest, and
    // then breathes on in step with the views it began with.
    std::chrono::milliseconds restUntil_{0};
    // Where the swing was when it stopped, eased back to rest over settleTime.
    double settleFrom_ = 0.0;
    std::optional<std::chrono::milliseconds> settleStart_;
    double presenceFrom_ = 1.0;
    double presenceTo_ = 1.0;
    std::optional<std::chrono::milliseconds> presenceStart_;
    std::function<void()> gone_;
    std::optional<std::chrono::milliseconds> wakeAt_;
    QTimer wakeTimer_;
    QTimer startTimer_;
    // The widget as last drawn, drawn again only when something in it changed.
    QPixmap picture_;
    QPoint pictureOffset_;
    QSize pictureSize_;
    // The picture over what the widget draws behind it, as one.
    QPixmap composed_;
    QPoint composedAt_;
    // The composed picture as the breath shows it at one of its levels, in the device's pixels.
    struct Shown {
        QImage image;
        QPoint at;
        QTransform toDevice;
        double opacity = 1.0;
        qint64 source = 0;
    };
    // The levels shown lately, the latest first: a breath passes through the same few levels
    // over and over, and each would otherwise be resampled afresh every time.
    std::vector<Shown> shown_;
    const Shown& shownFor(const QTransform& toDevice, double opacity);
    std::size_t levelsKept() const;
};
