#include "Components/RiskBadge.h"

#include <QGraphicsEffect>
#include <QPainter>

#include "Components/AccessibilityPreferences.h"
#include "Components/Easing.h"
#include "Components/GlassTheme.h"
#include "Components/ImageBlur.h"
#include "Components/LiquidGlass.h"
#include "Components/Squircle.h"

namespace {

constexpr std::chrono::milliseconds kFrame{80};
constexpr qreal kGlowBlur = 12;

// Draws the glow under the badge and scales the whole badge; both may spill past the widget.
class PulseEffect final : public QGraphicsEffect {
public:
    explicit PulseEffect(RiskBadge* badge) : QGraphicsEffect(badge), badge_(badge) {}

protected:
    QRectF boundingRectFor(const QRectF& rect) const override {
        const QSizeF pill = badge_->pillRect().size();
        const qreal dx = pill.width() * 0.2 + 2 * kGlowBlur;
        const qreal dy = pill.height() * 0.2 + 2 * kGlowBlur;
        return rect.adjusted(-dx, -dy, dx, dy);
    }

    void draw(QPainter* painter) override {
        QPoint offset;
        const QPixmap badge = sourcePixmap(Qt::LogicalCoordinates, &offset);
        const QRectF pill = badge_->pillRect();
        painter->save();
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        if (!badge_->reducesTransparency()) {
            paintGlow(*painter, pill);
        }
        const QPointF centre = pill.center();
        painter->translate(centre);
        painter->scale(badge_->badgeScale(), badge_->badgeScale());
        painter->translate(-centre);
        painter->drawPixmap(offset, badge);
        painter->restore();
    }

private:
    void paintGlow(QPainter& painter, const QRectF& pill) {
        const double opacity = badge_->glowOpacity();
        const QColor accent = GlassTheme::fromSrgb(RiskLevels::accentColor(badge_->riskLevel()));
        const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
        // The blurred capsule is the same for every frame of a level; only its scale and
        // opacity move.
        if (glow_.isNull() || glowLevel_ != badge_->riskLevel() || glowSize_ != pill.size() ||
            glowRatio_ != ratio) {
            const QSizeF canvas = pill.size() + QSizeF(4 * kGlowBlur, 4 * kGlowBlur);
            QImage image((canvas * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::transparent);
            QPainter glowPainter(&image);
            glowPainter.setRenderHint(QPainter::Antialiasing);
            glowPainter.fillPath(
                Squircle::capsule(QRectF(QPointF(2 * kGlowBlur, 2 * kGlowBlur), pill.size())),
                accent);
            glowPainter.end();
            glow_ = ImageBlur::blurred(image, kGlowBlur * ratio);
            glowLevel_ = badge_->riskLevel();
            glowSize_ = pill.size();
            glowRatio_ = ratio;
        }
        painter.save();
        const QPointF centre = pill.center();
        painter.translate(centre);
        painter.scale(badge_->glowScale(), badge_->glowScale());
        painter.setOpacity(opacity);
        const QSizeF canvas = glow_.deviceIndependentSize();
        painter.drawImage(QPointF(-canvas.width() / 2, -canvas.height() / 2), glow_);
        painter.restore();
    }

    RiskBadge* badge_;
    QImage glow_;
    RiskLevel glowLevel_ = RiskLevel::low;
    QSizeF glowSize_;
    qreal glowRatio_ = 0;
};

}  // namespace

RiskBadge::RiskBadge(RiskLevel level, AccessibilityPreferences& motion, QWidget* parent)
    : QWidget(parent), level_(level), motion_(motion) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(RiskLevels::badgeWord(level));
    setGraphicsEffect(new PulseEffect(this));
    ticker_.setInterval(kFrame);
    connect(&ticker_, &QTimer::timeout, this, [this] {
        // Redraw when the glow's soft edge has moved a pixel or its opacity 2 %: finer steps are
        // invisible in a blur 12 pt wide, and each one redraws the card around the badge.
        const double phase = pulsePhase();
        const qreal spread = std::abs(phase - drawnPhase_) * 0.2 * pillRect().width() / 2;
        const double fade = std::abs(glowOpacity(level_, phase) - glowOpacity(level_, drawnPhase_));
        if (spread >= 1.0 || fade >= 0.02) {
            drawnPhase_ = phase;
            if (QGraphicsEffect* effect = graphicsEffect()) {
                effect->update();
            }
        }
    });
    connect(&motion_, &AccessibilityPreferences::changed, this, [this] {
        if (motion_.reduceMotion()) {
            setPulsing(false);
        }
        update();
    });
}

RiskBadge::~RiskBadge() {
    // The pulse asks the badge for its pill. QWidget's destructor hides a shown widget and asks
    // the effect how much to repaint, after the badge itself is gone, so the effect must go
    // while the badge is whole.
    setGraphicsEffect(nullptr);
}

bool RiskBadge::reducesTransparency() const {
    return motion_.reduceTransparency();
}

double RiskBadge::glowOpacity(RiskLevel level, double phase) {
    double rest = 0.08;
    double peak = 0.18;
    switch (level) {
        case RiskLevel::low:
            break;
        case RiskLevel::medium:
            rest = 0.14;
            peak = 0.30;
            break;
        case RiskLevel::high:
            rest = 0.20;
            peak = 0.45;
            break;
    }
    return rest + (peak - rest) * phase;
}

double RiskBadge::glowOpacity() const {
    return glowOpacity(level_, pulsePhase());
}

double RiskBadge::pulsePhase() const {
    if (!pulsing_) {
        return 0.0;
    }
    return swingAt(std::chrono::milliseconds(pulseClock_.elapsed()), pulseHalfCycle);
}

void RiskBadge::setPulsing(bool pulsing) {
    pulsing_ = pulsing;
    if (pulsing_) {
        pulseClock_.start();
        ticker_.start();
    } else {
        ticker_.stop();
    }
    if (QGraphicsEffect* effect = graphicsEffect()) {
        effect->update();
    }
}

void RiskBadge::setRiskLevel(RiskLevel level) {
    if (level == level_) {
        return;
    }
    level_ = level;
    setAccessibleName(RiskLevels::badgeWord(level));
    updateGeometry();
    update();
    if (motion_.reduceMotion()) {
        return;
    }
    setPulsing(false);
    QTimer::singleShot(pulseRestartDelay, this, [this] {
        if (isVisible() && !motion_.reduceMotion()) {
            setPulsing(true);
        }
    });
}

void RiskBadge::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (motion_.reduceMotion()) {
        return;
    }
    QTimer::singleShot(pulseStartDelay, this, [this] {
        if (isVisible() && !motion_.reduceMotion()) {
            setPulsing(true);
        }
    });
}

void RiskBadge::hideEvent(QHideEvent* event) {
    // Nothing ticks for a badge nobody sees.
    setPulsing(false);
    QWidget::hideEvent(event);
}

QSizeF RiskBadge::pillSize() const {
    const QFontMetricsF mark(GlassTheme::font(font(), 12, QFont::Normal));
    const QFontMetricsF word(GlassTheme::roundedFont(13));
    const qreal content = mark.horizontalAdvance(RiskLevels::badgeMark(level_)) + 6 +
                          word.horizontalAdvance(RiskLevels::badgeWord(level_));
    return {content + 32, std::max(mark.height(), word.height()) + 16};
}

QSize RiskBadge::sizeHint() const {
    return pillSize().toSize() + QSize(2, 2);
}

QRectF RiskBadge::pillRect() const {
    const QSizeF pill = pillSize();
    return {(width() - pill.width()) / 2, (height() - pill.height()) / 2, pill.width(),
            pill.height()};
}

void RiskBadge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF pill = pillRect();
    const QPainterPath capsule = Squircle::capsule(pill);
    const QColor accent = GlassTheme::fromSrgb(RiskLevels::accentColor(level_));
    painter.fillPath(capsule, GlassTheme::ultraThinMaterial());
    painter.fillPath(capsule,
                     GlassTheme::withOpacity(accent, motion_.reduceTransparency() ? 0.18 : 0.10));
    QLinearGradient rim(pill.topLeft(), pill.bottomLeft());
    rim.setColorAt(0.0, GlassTheme::withOpacity(accent, 0.4));
    rim.setColorAt(1.0, GlassTheme::withOpacity(accent, 0.1));
    QPen rimPen(QBrush(rim), 0.75, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    rimPen.setMiterLimit(10);
    painter.strokePath(Squircle::capsule(pill.adjusted(0.375, 0.375, -0.375, -0.375)), rimPen);

    const QFont markFont = GlassTheme::font(font(), 12, QFont::Normal);
    const QFont wordFont = GlassTheme::roundedFont(13);
    const QString mark = RiskLevels::badgeMark(level_);
    const qreal markWidth = QFontMetricsF(markFont).horizontalAdvance(mark);
    const QRectF content = pill.adjusted(16, 8, -16, -8);
    painter.setFont(markFont);
    painter.drawText(QRectF(content.left(), content.top(), markWidth, content.height()),
                     Qt::AlignCenter, mark);
    painter.setFont(wordFont);
    painter.setPen(GlassTheme::primaryText());
    painter.drawText(content.adjusted(markWidth + 6, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     RiskLevels::badgeWord(level_));
}
