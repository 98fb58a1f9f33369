#include "Views/Symbols.h"

#include <QPainterPath>
#include <QPainterPathStroker>
#include <array>
#include <cmath>
#include <numbers>

using namespace Qt::StringLiterals;

namespace {

// Every glyph is drawn on a 24 × 24 grid.
constexpr qreal kGrid = 24;

struct NamedSymbol {
    Symbol symbol;
    const char16_t* name;
};

constexpr std::array<NamedSymbol, 6> kNames{{
    {Symbol::chevronLeft, u"chevron.left"},
    {Symbol::figureStand, u"figure.stand"},
    {Symbol::figureRoll, u"figure.roll"},
    {Symbol::checkmarkCircleFill, u"checkmark.circle.fill"},
    {Symbol::personAndBackgroundDotted, u"person.and.background.dotted"},
    {Symbol::arrowTriangle2Circlepath, u"arrow.triangle.2.circlepath"},
}};

QPen strokeOf(const QColor& color, qreal width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void line(QPainter& painter, QPointF from, QPointF to, const QColor& color, qreal width) {
    painter.setPen(strokeOf(color, width));
    painter.drawLine(from, to);
}

void head(QPainter& painter, QPointF centre, qreal radius, const QColor& color) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(centre, radius, radius);
}

void chevronLeft(QPainter& painter, const QColor& color) {
    painter.setPen(strokeOf(color, 2.6));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(QPolygonF{QPointF(15.5, 4.5), QPointF(8, 12), QPointF(15.5, 19.5)});
}

// Upright: head over a straight back, arms at the sides, feet apart.
void figureStand(QPainter& painter, const QColor& color) {
    head(painter, QPointF(12, 3.6), 2.4, color);
    line(painter, QPointF(12, 8.2), QPointF(12, 13.8), color, 4.2);
    line(painter, QPointF(10.2, 8.4), QPointF(8.4, 14.6), color, 2.0);
    line(painter, QPointF(13.8, 8.4), QPointF(15.6, 14.6), color, 2.0);
    line(painter, QPointF(11, 14.2), QPointF(10.4, 21.8), color, 2.4);
    line(painter, QPointF(13, 14.2), QPointF(13.6, 21.8), color, 2.4);
}

// Slumped on a seat: the head pushed forward, the back rounded, the knees up.
void figureRoll(QPainter& painter, const QColor& color) {
    head(painter, QPointF(7.2, 6.2), 2.4, color);
    QPainterPath back(QPointF(9.4, 8.6));
    back.cubicTo(QPointF(13.5, 8.2), QPointF(15.2, 11.5), QPointF(14.4, 15.2));
    painter.setPen(strokeOf(color, 3.6));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(back);
    line(painter, QPointF(10.8, 9.6), QPointF(9.2, 14.0), color, 1.9);
    line(painter, QPointF(14.4, 15.2), QPointF(19.6, 15.6), color, 2.4);
    line(painter, QPointF(19.6, 15.6), QPointF(19.2, 21.8), color, 2.4);
    // The seat under the hips, on one leg.
    line(painter, QPointF(10.8, 17.4), QPointF(17.4, 17.4), color, 1.5);
    line(painter, QPointF(12.2, 17.4), QPointF(12.2, 22.0), color, 1.5);
}

// A filled disc with the tick cut out of it, so the ground shows through.
void checkmarkCircleFill(QPainter& painter, const QColor& color) {
    QPainterPath disc;
    disc.addEllipse(QPointF(12, 12), 10.5, 10.5);
    QPainterPath tick(QPointF(7.2, 12.4));
    tick.lineTo(10.6, 15.8);
    tick.lineTo(16.9, 8.6);
    QPainterPathStroker stroker;
    stroker.setWidth(2.5);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(disc.subtracted(stroker.createStroke(tick)));
}

// A bust in front of a dotted frame: you, against your background.
void personAndBackgroundDotted(QPainter& painter, const QColor& color) {
    QPen dots(color, 1.6, Qt::CustomDashLine, Qt::RoundCap);
    dots.setDashPattern({0.01, 2.2});
    painter.setPen(dots);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(1.5, 2.5, 21, 19), 4, 4);
    head(painter, QPointF(12, 9.4), 3.4, color);
    QPainterPath shoulders(QPointF(5.6, 21.5));
    shoulders.cubicTo(QPointF(5.8, 15.6), QPointF(8.6, 14.2), QPointF(12, 14.2));
    shoulders.cubicTo(QPointF(15.4, 14.2), QPointF(18.2, 15.6), QPointF(18.4, 21.5));
    shoulders.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(shoulders);
}

QPointF onCircle(QPointF centre, qreal radius, qreal degrees) {
    const qreal radians = degrees * std::numbers::pi / 180.0;
    return {centre.x() + radius * std::cos(radians), centre.y() - radius * std::sin(radians)};
}

// An arrowhead at `tip`, pointing along the direction `degrees` (counter-clockwise from east).
void arrowhead(QPainter& painter, QPointF tip, qreal degrees, const QColor& color) {
    const QPointF back = onCircle(tip, 4.4, degrees + 180);
    const QPointF left = onCircle(back, 3.0, degrees + 90);
    const QPointF right = onCircle(back, 3.0, degrees - 90);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPolygon(QPolygonF{tip, left, right});
}

// Two arcs chasing each other round a circle.
void arrowTriangle2Circlepath(QPainter& painter, const QColor& color) {
    const QPointF centre(12, 12);
    constexpr qreal radius = 7.8;
    const QRectF circle(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    painter.setPen(strokeOf(color, 2.0));
    painter.setBrush(Qt::NoBrush);
    // Qt's arcs run counter-clockwise, in sixteenths of a degree.
    painter.drawArc(circle, 30 * 16, 128 * 16);
    painter.drawArc(circle, 210 * 16, 128 * 16);
    arrowhead(painter, onCircle(centre, radius, 158 + 6), 158 + 96, color);
    arrowhead(painter, onCircle(centre, radius, 338 + 6), 338 + 96, color);
}

}  // namespace

namespace Symbols {

std::optional<Symbol> named(const QString& name) {
    for (const NamedSymbol& entry : kNames) {
        if (name == QStringView(entry.name)) {
            return entry.symbol;
        }
    }
    return std::nullopt;
}

QString nameOf(Symbol symbol) {
    for (const NamedSymbol& entry : kNames) {
        if (entry.symbol == symbol) {
            return QString::fromUtf16(entry.name);
        }
    }
    return {};
}

qreal sideFor(qreal pointSize) {
    // A symbol stands about as tall as a capital and a half of its text.
    return std::round(pointSize * 1.2);
}

void paint(QPainter& painter, Symbol symbol, const QRectF& box, const QColor& color) {
    const qreal side = std::min(box.width(), box.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    painter.scale(side / kGrid, side / kGrid);
    switch (symbol) {
        case Symbol::chevronLeft:
            chevronLeft(painter, color);
            break;
        case Symbol::figureStand:
            figureStand(painter, color);
            break;
        case Symbol::figureRoll:
            figureRoll(painter, color);
            break;
        case Symbol::checkmarkCircleFill:
            checkmarkCircleFill(painter, color);
            break;
        case Symbol::personAndBackgroundDotted:
            personAndBackgroundDotted(painter, color);
            break;
        case Symbol::arrowTriangle2Circlepath:
            arrowTriangle2Circlepath(painter, color);
            break;
    }
    painter.restore();
}

}  // namespace Symbols

SymbolView::SymbolView(Symbol symbol, qreal pointSize, QColor color, QWidget* parent)
    : QWidget(parent), symbol_(symbol), side_(Symbols::sideFor(pointSize)), color_(color) {
    setFixedSize(sizeHint());
}

void SymbolView::setSymbol(Symbol symbol) {
    if (symbol_ != symbol) {
        symbol_ = symbol;
        update();
    }
}

void SymbolView::setColor(const QColor& color) {
    if (color_ != color) {
        color_ = color;
        update();
    }
}

QSize SymbolView::sizeHint() const {
    const int side = static_cast<int>(std::ceil(side_));
    return {side, side};
}

void SymbolView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Symbols::paint(painter, symbol_, QRectF(rect()), color_);
}
