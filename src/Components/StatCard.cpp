#include "Components/StatCard.h"

#include <QPainter>

#include "Components/AccessibilityPreferences.h"
#include "Components/BreathingEffect.h"

namespace {

// The card's breath, with the shadows the glass casts drawn under it so that they breathe too.
class GlassCardEffect final : public BreathingEffect {
public:
    GlassCardEffect(QWidget* card, GlassStyle style, AccessibilityPreferences& motion)
        : BreathingEffect(card, 0.004, std::chrono::seconds{7}, motion), style_(style) {}

protected:
    void drawBehind(QPainter& painter, const QRectF& bounds) override {
        shadows_.paint(painter, bounds, style_);
    }
    QMarginsF overhang() const override { return LiquidGlass::shadowOverhang(style_); }

private:
    GlassStyle style_;
    LiquidGlass::GlassShadows shadows_;
};

}  // namespace

namespace CardDepths {

GlassStyle glassOf(CardDepth depth) {
    switch (depth) {
        case CardDepth::prominent:
            return {16, 2.0, 0.03, 16, 0.10};
        case CardDepth::standard:
            return {16, 1.8, 0.02, 10, 0.07};
        case CardDepth::recessed:
            return {16, 1.6, 0.01, 6, 0.04};
    }
    return {};
}

}  // namespace CardDepths

StatCard::StatCard(CardDepth depth, AccessibilityPreferences& motion, QWidget* parent)
    : QWidget(parent), depth_(depth), motion_(motion), layout_(new QVBoxLayout(this)) {
    layout_->setContentsMargins(16, 16, 16, 16);
    layout_->setSpacing(8);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    breath_ = new GlassCardEffect(this, CardDepths::glassOf(depth), motion);
    connect(&motion_, &AccessibilityPreferences::changed, this, qOverload<>(&QWidget::update));
}

void StatCard::enter() {
    show();
    breath_->enter();
}

void StatCard::leave() {
    breath_->leave([this] { hide(); });
}

void StatCard::addContent(QWidget* child, Qt::Alignment alignment) {
    layout_->addWidget(child, 0, alignment);
}

void StatCard::addContent(QLayout* row) {
    layout_->addLayout(row);
}

void StatCard::addSpacing(int points) {
    layout_->addSpacing(points);
}

void StatCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    LiquidGlass::paintSurface(painter, QRectF(rect()), CardDepths::glassOf(depth_),
                              motion_.reduceTransparency());
}
