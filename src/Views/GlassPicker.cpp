#include "Views/GlassPicker.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QLinearGradient>
#include <QPainter>

#include "Components/GlassTheme.h"
#include "Components/Squircle.h"
#include "Views/TextStyle.h"

namespace {

constexpr qreal kRadius = 10;
constexpr int kHeight = 30;
constexpr int kInset = 12;
constexpr int kChevron = 12;

// The opened list: an opaque light sheet, since a pop-up window may have no compositor behind
// it to blur; the choice under the pointer or the keys in the accent colour.
QString listStyle() {
    const QString accent = GlassTheme::accent().name();
    const QString text = GlassTheme::primaryText().name();
    return QStringLiteral(
               "QAbstractItemView { background: #f6f8f6; border: 1px solid rgba(56, 102, 82, 90);"
               " padding: 4px; outline: none; color: %1; }"
               "QAbstractItemView::item { padding: 5px 8px; border-radius: 6px; }"
               "QAbstractItemView::item:selected { background: %2; color: white; }")
        .arg(text, accent);
}

}  // namespace

GlassPicker::GlassPicker(const QString& accessibleName, QWidget* parent) : QComboBox(parent) {
    setAccessibleName(accessibleName);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    setFont(PageText::fontOf({13, QFont::Medium, GlassTheme::primaryText()}));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    view()->setStyleSheet(listStyle());
    view()->setFont(font());
    // The list's frame is the sheet's border; the pop-up window adds none of its own.
    if (QWidget* popup = view()->parentWidget()) {
        popup->setStyleSheet(QStringLiteral("background: #f6f8f6; border: none;"));
    }
}

QSize GlassPicker::sizeHint() const {
    int widest = 0;
    for (int i = 0; i < count(); ++i) {
        widest = std::max(widest, fontMetrics().horizontalAdvance(itemText(i)));
    }
    return {widest + 2 * kInset + kChevron + 8, kHeight};
}

QSize GlassPicker::minimumSizeHint() const {
    return {2 * kInset + kChevron + 40, kHeight};
}

void GlassPicker::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QComboBox::enterEvent(event);
}

void GlassPicker::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QComboBox::leaveEvent(event);
}

void GlassPicker::focusInEvent(QFocusEvent* event) {
    // Outlined only when the keyboard brought the focus here; a click shows the list instead.
    keyboardFocus_ = event->reason() == Qt::TabFocusReason ||
                     event->reason() == Qt::BacktabFocusReason ||
                     event->reason() == Qt::ShortcutFocusReason;
    QComboBox::focusInEvent(event);
}

void GlassPicker::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF field = QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75);
    const QPainterPath shape = Squircle::roundedRect(field, kRadius);
    painter.fillPath(shape, QColor::fromRgbF(1, 1, 1, hovered_ ? 0.62F : 0.45F));
    QLinearGradient rim(field.topLeft(), field.bottomLeft());
    rim.setColorAt(0.0, QColor::fromRgbF(1, 1, 1, 0.9F));
    rim.setColorAt(1.0, GlassTheme::withOpacity(GlassTheme::accent(), 0.25));
    painter.setPen(QPen(QBrush(rim), 0.75));
    painter.drawPath(shape);
    if (hasFocus() && keyboardFocus_) {
        painter.setPen(QPen(GlassTheme::withOpacity(GlassTheme::accent(), 0.8), 1.5));
        painter.drawPath(shape);
    }

    const QRectF text = field.adjusted(kInset, 0, -(kInset + kChevron + 4), 0);
    painter.setPen(GlassTheme::primaryText());
    painter.setFont(font());
    painter.drawText(
        text, Qt::AlignLeft | Qt::AlignVCenter,
        fontMetrics().elidedText(currentText(), Qt::ElideRight, static_cast<int>(text.width())));

    // Up and down chevrons: the list opens over the field, either way.
    const qreal x = field.right() - kInset - kChevron / 2.0;
    const qreal y = field.center().y();
    painter.setPen(QPen(GlassTheme::accent(), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({{x - 3.5, y - 2}, {x, y - 5.5}, {x + 3.5, y - 2}}));
    painter.drawPolyline(QPolygonF({{x - 3.5, y + 2}, {x, y + 5.5}, {x + 3.5, y + 2}}));
}
