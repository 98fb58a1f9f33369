#pragma once

#include <QElapsedTimer>
#include <QGraphicsEffect>
#include <QPointer>
#include <QTimer>
#include <chrono>

class AccessibilityPreferences;

// Makes a widget breathe: it grows by `intensity` and fades to 0.96 over `duration`, and back,
// forever, from 0.1 s after it is shown; a pointer resting on it puts it at rest at once.
// Nothing ticks while the widget is hidden or motion is reduced.
class BreathingEffect : public QGraphicsEffect {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds startDelay{100};
    static constexpr std::chrono::milliseconds settleTime{300};

    // Installs itself on `target`, which owns it.
    BreathingEffect(QWidget* target, double intensity, std::chrono::milliseconds duration,
                    AccessibilityPreferences& motion);

    double intensity() const { return intensity_; }
    bool isBreathing() const { return isBreathing_; }
    bool isHovered() const { return isHovered_; }
    bool isActive() const;
    bool isTicking() const { return ticker_.isActive(); }
    // How far into a breath the widget is, 0 at rest to 1 at the peak.
    double phase() const;
    double scale() const { return 1.0 + intensity_ * phase(); }
    double opacity() const { return 1.0 - 0.04 * phase(); }

protected:
    QRectF boundingRectFor(const QRectF& sourceRect) const override;
    void draw(QPainter* painter) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Drawn under the widget, in its coordinates, before the breathing transform.
    virtual void drawBehind(QPainter& painter, const QRectF& bounds);
    virtual QMarginsF overhang() const { return {}; }

private:
    void updateTicking();
    void redrawIfVisiblyChanged();

    QPointer<QWidget> target_;
    double intensity_;
    std::chrono::milliseconds duration_;
    AccessibilityPreferences& motion_;
    bool isBreathing_ = false;
    bool isHovered_ = false;
    QElapsedTimer breathClock_;
    // Where the swing was when it stopped, eased back to rest over settleTime.
    double settleFrom_ = 0.0;
    QElapsedTimer settleClock_;
    double drawnPhase_ = 0.0;
    QTimer ticker_;
    QTimer startTimer_;
};
