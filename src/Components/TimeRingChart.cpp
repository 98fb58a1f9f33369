#include "Components/TimeRingChart.h"

#include <QConicalGradient>
#include <QPainter>
#include <QtNumeric>
#include <algorithm>
#include <limits>

#include "Components/FigureLabel.h"
#include "Components/GlassTheme.h"

using namespace Qt::StringLiterals;

namespace {

// The stroke reaches half its width beyond the ring square; the widget leaves room for it.
constexpr qreal kOverhang = TimeRingChart::ringWidth / 2;
constexpr qreal kGap = 16;
constexpr qreal kLabelBox = 44;

QFont labelFont(const QFont& base) {
    return GlassTheme::font(base, 12, QFont::Medium);
}

QFont valueFont() {
    return GlassTheme::roundedFont(12);
}

// 44 pt holds the labels in the narrow system font they were set for; a wider font gets the
// room it needs rather than a clipped word.
qreal labelBox(const QFont& base) {
    return std::max(kLabelBox, QFontMetricsF(labelFont(base)).horizontalAdvance(u"Sitting"_s) + 2);
}

// Clockwise from 12 o'clock: a conical gradient runs the other way, so its stops are reversed.
QConicalGradient clockwiseGradient(QPointF centre, const QColor& start, const QColor& end) {
    QConicalGradient gradient(centre, 90);
    gradient.setColorAt(0.0, end);
    gradient.setColorAt(1.0, start);
    return gradient;
}

// A damaged day record can hand over any count at all. Less than nothing is nothing, and a sum
// too large to hold stays at the largest count rather than wrapping round to a negative one.
qint64 countable(qint64 minutes) {
    return std::max<qint64>(minutes, 0);
}

qint64 totalOf(qint64 sittingMinutes, qint64 breakMinutes) {
    qint64 total = 0;
    if (qAddOverflow(countable(sittingMinutes), countable(breakMinutes), &total)) {
        return std::numeric_limits<qint64>::max();
    }
    return total;
}

void strokeArc(QPainter& painter, const QRectF& circle, double from, double to,
               const QConicalGradient& gradient) {
    if (to - from <= 0) {
        return;
    }
    QPen pen(QBrush(gradient), TimeRingChart::ringWidth, Qt::SolidLine, Qt::RoundCap,
             Qt::MiterJoin);
    pen.setMiterLimit(10);
    painter.setPen(pen);
    if (to - from >= 1.0) {
        painter.drawEllipse(circle);
        return;
    }
    // Qt counts sixteenths of a degree, anticlockwise from 3 o'clock.
    const int start = static_cast<int>(std::lround((90.0 - from * 360.0) * 16));
    const int span = -static_cast<int>(std::lround((to - from) * 360.0 * 16));
    painter.drawArc(circle, start, span);
}

}  // namespace

TimeRingChart::TimeRingChart(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(u"Today's activity"_s);
}

QString TimeRingChart::formatMinutes(qint64 minutes) {
    minutes = countable(minutes);
    if (minutes < 60) {
        return QString::number(minutes) + u"m"_s;
    }
    return QString::number(minutes / 60) + u"h "_s + QString::number(minutes % 60) + u"m"_s;
}

TimeRingChart::ArcFractions TimeRingChart::arcFractions(qint64 sittingMinutes,
                                                        qint64 breakMinutes) {
    const auto sittingShare = static_cast<double>(countable(sittingMinutes));
    const auto breakShare = static_cast<double>(countable(breakMinutes));
    const double divisor = std::max(sittingShare + breakShare, 1.0);
    const double sitting = sittingShare / divisor;
    return {sitting, std::min(sitting + breakShare / divisor, 1.0)};
}

void TimeRingChart::setMinutes(qint64 sittingMinutes, qint64 breakMinutes) {
    if (sittingMinutes == sittingMinutes_ && breakMinutes == breakMinutes_) {
        return;
    }
    sittingMinutes_ = sittingMinutes;
    breakMinutes_ = breakMinutes;
    setAccessibleDescription(u"Sitting "_s + formatMinutes(sittingMinutes) + u", breaks "_s +
                             formatMinutes(breakMinutes));
    updateGeometry();
    update();
}

QString TimeRingChart::breaksValue() const {
    return breakMinutes_ >= 1 ? formatMinutes(breakMinutes_) : u"\u2014"_s;
}

qreal TimeRingChart::legendWidth() const {
    const qreal values = std::max(FigureLabel::width(valueFont(), formatMinutes(sittingMinutes_)),
                                  FigureLabel::width(valueFont(), breaksValue()));
    return 8 + 8 + labelBox(font()) + 8 + std::ceil(values);
}

QSize TimeRingChart::sizeHint() const {
    return QSizeF(ringSize + 2 * kOverhang + kGap + legendWidth(), ringSize + 2 * kOverhang)
        .toSize();
}

QRectF TimeRingChart::ringRect() const {
    const qreal rowWidth = ringSize + kGap + legendWidth();
    const qreal left = (width() - rowWidth) / 2;
    return {left, (height() - ringSize) / 2, ringSize, ringSize};
}

void TimeRingChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF ring = ringRect();
    const QPointF centre = ring.center();

    painter.setPen(QPen(GlassTheme::withOpacity(GlassTheme::standardGray(), 0.12), ringWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(ring);

    const ArcFractions arcs = arcFractions(sittingMinutes_, breakMinutes_);
    strokeArc(painter, ring, 0.0, arcs.sittingEnd,
              clockwiseGradient(centre, GlassTheme::fromSrgb({0.85, 0.45, 0.35}),
                                GlassTheme::fromSrgb({0.75, 0.30, 0.30})));
    if (breakMinutes_ >= 1) {
        strokeArc(painter, ring, arcs.sittingEnd, arcs.breakEnd,
                  clockwiseGradient(centre, GlassTheme::fromSrgb({0.30, 0.65, 0.45}),
                                    GlassTheme::fromSrgb({0.20, 0.50, 0.35})));
    }

    const QFont totalFont = GlassTheme::roundedFont(14);
    const QFont captionFont = GlassTheme::font(font(), 9, QFont::Normal);
    const qreal totalHeight = QFontMetricsF(totalFont).height();
    const qreal captionHeight = QFontMetricsF(captionFont).height();
    const qreal top = centre.y() - (totalHeight + captionHeight) / 2;
    painter.setPen(GlassTheme::primaryText());
    FigureLabel::draw(painter, totalFont, QRectF(ring.left(), top, ring.width(), totalHeight),
                      Qt::AlignCenter, formatMinutes(totalOf(sittingMinutes_, breakMinutes_)));
    painter.setFont(captionFont);
    painter.setPen(GlassTheme::tertiaryText());
    painter.drawText(QRectF(ring.left(), top + totalHeight, ring.width(), captionHeight),
                     Qt::AlignCenter, u"total"_s);

    const QFont labels = labelFont(font());
    const QFont values = valueFont();
    const qreal rowHeight =
        std::max(QFontMetricsF(values).height(), QFontMetricsF(labels).height());
    const qreal labelWidth = labelBox(font());
    const qreal legendTop = centre.y() - (2 * rowHeight + 8) / 2;
    const qreal legendLeft = ring.right() + kGap;
    const auto legendRow = [&](qreal y, const QColor& dot, const QString& label,
                               const QString& value) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(dot);
        painter.drawEllipse(QRectF(legendLeft, y + (rowHeight - 8) / 2, 8, 8));
        painter.setFont(labels);
        painter.setPen(GlassTheme::secondaryText());
        painter.drawText(QRectF(legendLeft + 16, y, labelWidth, rowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, label);
        painter.setPen(GlassTheme::primaryText());
        FigureLabel::draw(painter, values,
                          QRectF(legendLeft + 16 + labelWidth + 8, y, 80, rowHeight),
                          Qt::AlignLeft | Qt::AlignVCenter, value);
    };
    legendRow(legendTop, GlassTheme::fromSrgb({0.80, 0.38, 0.32}), u"Sitting"_s,
              formatMinutes(sittingMinutes_));
    legendRow(legendTop + rowHeight + 8, GlassTheme::fromSrgb({0.25, 0.58, 0.40}), u"Breaks"_s,
              breaksValue());
}
