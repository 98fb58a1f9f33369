#pragma once

#include <QImage>
#include <QMargins>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QTransform>
#include <QWidget>
#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "Components/AnimationClock.h"
#include "Models/RiskLevel.h"

class BreathingEffect;
class AccessibilityPreferences;

// The day's risk level as a pill: mark and word on a tinted frost, with a soft glow in the
// level's colour that slowly pulses. A new level cross-fades in. It wakes only when the
// picture has changed by a step someone could see, and not at all while hidden. The widget
// spans the glow's reach; the pill sits in the middle.
class RiskBadge : public QWidget {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds pulseHalfCycle{2500};
    static constexpr std::chrono::milliseconds pulseStartDelay{200};
    static constexpr std::chrono::milliseconds pulseRestartDelay{100};
    static constexpr std::chrono::milliseconds levelChangeTime{600};

    RiskBadge(RiskLevel level, AccessibilityPreferences& motion, QWidget* parent = nullptr);
    ~RiskBadge() override;

    RiskLevel riskLevel() const { return level_; }
    void setRiskLevel(RiskLevel level);
    bool isPulsing() const { return pulsing_; }
    // Time for the pulse and the level change from now on; the clock must outlive the badge.
    void setClock(const AnimationClock& clock);
    // The phases of the swell at which the badge's picture changes by a visible step.
    std::vector<double> pulseRungs() const;
    // When the badge next wakes to redraw, on its clock; none while nothing moves.
    std::optional<std::chrono::milliseconds> nextWake() const { return wakeAt_; }
    // How far the change to the current level has come, 0 to 1 (eased); 1 when settled.
    double levelProgress() const;

    // 0 at rest to 1 at the pulse's peak.
    double pulsePhase() const;
    double badgeScale() const { return 1.0 + 0.02 * pulsePhase(); }
    double glowScale() const { return glowScale(pulsePhase()); }
    static double glowScale(double phase) { return 1.2 + 0.2 * phase; }
    double glowOpacity() const;
    static double glowOpacity(RiskLevel level, double phase);
    // The pill, centred in the widget, which leaves room around it for the glow.
    QRectF pillRect() const;
    bool reducesTransparency() const;
    // The level being left while the change lasts.
    std::optional<RiskLevel> previousLevel() const;

    QSize sizeHint() const override;

    // Lays the badge over `slot`, a widget in a card's layout that keeps the pill's room, instead
    // of inside the card: its pulse then repaints only itself, never the card around it, and it
    // breathes with the card by drawing the card's breath over its own.
    void floatOver(QWidget* slot);
    // The pill a level has when it is shown alone.
    QSizeF pillSize(RiskLevel level) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    std::chrono::milliseconds now() const { return clock_->now(); }
    void setPulsing(bool pulsing);
    void scheduleWake();
    void wake();
    // Room for the pill alone, without the glow's.
    QSize pillRoom() const;
    // The card's breath, seen from the badge's own coordinates; none while not floating.
    QTransform hostTransform() const;
    double hostOpacity() const;
    // The pill as drawn now, kept between changes of its look.
    const QPixmap& pillPicture(const QPainter& target);
    // Repaints the badge for a step of its own motion.
    void showNextFrame();
    bool underlayIsCurrent() const;
    // Keeps what a repaint that `painter` is drawing has just drawn under the badge.
    void keepUnderlay(const QPainter& painter, const QRegion& painted);
    QMargins glowReach() const;
    // The pill's room within the widget.
    QRect roomRect() const;
    const QImage& glowImage(RiskLevel level, QSizeF pill, qreal ratio);
    void paintGlow(QPainter& painter, const QRectF& pill, RiskLevel level, double weight);
    QSizeF pillSize() const;
    // A level's mark and word, kept as pictures for the fade between levels.
    void paintContent(QPainter& painter, const QRectF& pill, RiskLevel level, double opacity);
    const QPixmap& contentPicture(RiskLevel level, const QPainter& target);
    // Draws a level's mark and word centred in `pill`, as sized for that level alone.
    void drawContent(QPainter& painter, const QRectF& pill, RiskLevel level);
    QRectF ownPill(const QRectF& pill, RiskLevel level) const;
    // The pixel density of what `target` draws on.
    qreal densityOf(const QPainter& target) const;
    void paintPill(QPainter& painter);
    void followSlot();
    const BreathingEffect* hostBreath() const;

    // What the kept picture of the pill was drawn for.
    struct PillLook {
        RiskLevel level;
        RiskLevel previous;
        double progress;
        bool reduceTransparency;
        QSize size;
        qreal ratio;
        bool operator==(const PillLook&) const = default;
    };

    // What the kept picture of what lies under the badge was drawn for.
    struct UnderlayLook {
        QRect inWindow;
        QSize window;
        qreal ratio = 0;
        double hostScale = 1;
        double hostOpacity = 1;
        qint64 hostPicture = 0;
        bool operator==(const UnderlayLook&) const = default;
    };
    // The blurred capsule in a level's colour, the same for every frame of that level: only its
    // scale and opacity move.
    struct Glow {
        QImage image;
        QSizeF size;
        qreal ratio = 0;
    };

    // What lies under the badge now, as far as the badge can tell; none where it cannot tell
    // when that changes.
    std::optional<UnderlayLook> underlayLookNow() const;

    RiskLevel level_;
    AccessibilityPreferences& motion_;
    SteadyAnimationClock steadyClock_;
    const AnimationClock* clock_ = &steadyClock_;
    bool pulsing_ = false;
    std::chrono::milliseconds pulseStart_{0};
    RiskLevel previousLevel_;
    std::optional<std::chrono::milliseconds> levelChangeStart_;
    std::optional<std::chrono::milliseconds> wakeAt_;
    QTimer wakeTimer_;
    QTimer pulseDelay_;
    QPointer<QWidget> slot_;
    mutable std::array<std::optional<QSizeF>, 3> pillSizes_;
    // Per level, where the glow's picture changes by a visible step, as phases of its swell.
    mutable std::array<std::optional<std::vector<double>>, 3> glowRungs_;
    // Each level's content picture and the pill size it was drawn for.
    std::array<std::pair<QPixmap, QSizeF>, 3> contents_;
    QPixmap pill_;
    PillLook pillLook_{};
    std::array<Glow, 3> glows_;
    QImage underlay_;
    QPoint underlayAt_;
    UnderlayLook underlayLook_;
};
