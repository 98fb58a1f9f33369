#include "Views/PillButton.h"

#include <QFontMetrics>
#include <QPainter>

#include "Components/GlassTheme.h"
#include "Components/Squircle.h"
#include "Views/TextStyle.h"

namespace {

constexpr int kPadX = 10;
constexpr int kPadY = 5;

}  // namespace

PillButton::PillButton(const QString& text, QWidget* parent) : PageButton(text, parent) {
    setFont(PageText::fontOf({11, QFont::Medium, {}}));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // Read out as a choice that is or is not the current one.
    setCheckable(true);
}

void PillButton::nextCheckState() {
    // Only the page chooses; a click asks for a draw, it does not toggle.
}

void PillButton::setSelected(bool selected) {
    if (selected == selected_) {
        return;  // the reset page says so at every tick of its countdown
    }
    selected_ = selected;
    setChecked(selected);
    update();
}

QSize PillButton::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 2 * kPadX, metrics.height() + 2 * kPadY};
}

void PillButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath capsule = Squircle::capsule(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    QColor fill = selected_ ? GlassTheme::accent() : GlassTheme::withOpacity(Qt::white, 0.25);
    if (isDown()) {
        fill = fill.darker(115);
    }
    painter.fillPath(capsule, fill);
    painter.setFont(font());
    painter.setPen(selected_ ? QColor(Qt::white) : GlassTheme::secondaryText());
    painter.drawText(rect(), Qt::AlignCenter, text());
    paintFocusRing(painter, capsule);
}
