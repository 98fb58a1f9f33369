#include "Views/GlassPicker.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QStyledItemDelegate>

#include "Components/GlassTheme.h"
#include "Components/Squircle.h"
#include "Views/TextStyle.h"

namespace {

constexpr qreal kRadius = 10;
constexpr int kHeight = 30;
constexpr int kInset = 12;
constexpr int kChevron = 12;

// The opened list: an opaque light sheet, since a pop-up window may have no compositor behind
// it to blur.
constexpr auto kListStyle =
    u"QAbstractItemView { background: #f6f8f6; border: 1px solid rgba(56, 102, 82, 90);"
    u" padding: 4px; outline: none; }";

// A choice's text. Its leading mark (a first word that is a pictograph) comes from the colour
// emoji face: some marks, such as ⚡, also have a plain glyph in the text face, which would win.
void drawChoice(QPainter& painter, const QRectF& box, const QString& text, const QColor& ink) {
    QString rest = text;
    qreal x = box.left();
    const qsizetype space = text.indexOf(u' ');
    if (space > 0 && !text.front().isLetterOrNumber()) {
        QFont emoji = painter.font();
        emoji.setFamilies({QStringLiteral("Noto Color Emoji")});
        const QString mark = text.left(space + 1);
        painter.save();
        painter.setFont(emoji);
        painter.drawText(QRectF(x, box.top(), box.width(), box.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, mark);
        x += QFontMetricsF(emoji).horizontalAdvance(mark);
        painter.restore();
        rest = text.mid(space + 1);
    }
    painter.setPen(ink);
    const QRectF after(x, box.top(), box.right() - x, box.height());
    painter.drawText(after, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetricsF(painter.font())
                         .elidedText(rest, Qt::ElideRight, std::max<qreal>(0, after.width())));
}

// One choice of the opened list: the one under the pointer or the keys on an accent capsule.
class ChoiceDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize text = QStyledItemDelegate::sizeHint(option, index);
        return {text.width() + 2 * kInset, std::max(text.height(), 18) + 10};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const bool current = option.state & QStyle::State_Selected;
        if (current) {
            painter->fillPath(Squircle::roundedRect(QRectF(option.rect).adjusted(1, 1, -1, -1), 7),
                              GlassTheme::accent());
        }
        painter->setFont(option.font);
        drawChoice(*painter, QRectF(option.rect).adjusted(kInset - 4, 0, -kInset, 0),
                   index.data(Qt::DisplayRole).toString(),
                   current ? QColor(Qt::white) : GlassTheme::primaryText());
        painter->restore();
    }
};

}  // namespace

GlassPicker::GlassPicker(const QString& accessibleName, QWidget* parent) : QComboBox(parent) {
    setAccessibleName(accessibleName);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    setFont(PageText::fontOf({13, QFont::Medium, GlassTheme::primaryText()}));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setItemDelegate(new ChoiceDelegate(this));
    view()->setStyleSheet(QString::fromUtf16(kListStyle));
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

    painter.setFont(font());
    drawChoice(painter, field.adjusted(kInset, 0, -(kInset + kChevron + 4), 0), currentText(),
               GlassTheme::primaryText());

    // Up and down chevrons: the list opens over the field, either way.
    const qreal x = field.right() - kInset - kChevron / 2.0;
    const qreal y = field.center().y();
    painter.setPen(QPen(GlassTheme::accent(), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({{x - 3.5, y - 2}, {x, y - 5.5}, {x + 3.5, y - 2}}));
    painter.drawPolyline(QPolygonF({{x - 3.5, y + 2}, {x, y + 5.5}, {x + 3.5, y + 2}}));
}
