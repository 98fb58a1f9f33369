#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include "Models/RiskLevel.h"

class AccessibilityPreferences;

// The day's risk level as a pill: mark and word on a tinted frost, with a soft glow in the
// level's colour that slowly pulses.
class RiskBadge : public QWidget {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds pulseHalfCycle{2500};
    static constexpr std::chrono::milliseconds pulseStartDelay{200};
    static constexpr std::chrono::milliseconds pulseRestartDelay{100};

    RiskBadge(RiskLevel level, AccessibilityPreferences& motion, QWidget* parent = nullptr);
    ~RiskBadge() override;

    RiskLevel riskLevel() const { return level_; }
    void setRiskLevel(RiskLevel level);
    bool isPulsing() const { return pulsing_; }
    bool isTicking() const { return ticker_.isActive(); }

    // 0 at rest to 1 at the pulse's peak.
    double pulsePhase() const;
    double badgeScale() const { return 1.0 + 0.02 * pulsePhase(); }
    double glowScale() const { return 1.2 + 0.2 * pulsePhase(); }
    double glowOpacity() const;
    static double glowOpacity(RiskLevel level, double phase);
    // The pill, centred in the widget, which leaves room around it for the glow.
    QRectF pillRect() const;
    // The desktop asks for less transparency: the badge then casts no glow.
    bool reducesTransparency() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void setPulsing(bool pulsing);
    QSizeF pillSize() const;

    RiskLevel level_;
    AccessibilityPreferences& motion_;
    bool pulsing_ = false;
    QElapsedTimer pulseClock_;
    double drawnPhase_ = 0.0;
    QTimer ticker_;
};
