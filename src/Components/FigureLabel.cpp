#include "Components/FigureLabel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace {

qreal digitCell(const QFontMetricsF& metrics) {
    qreal widest = 0;
    for (char digit = '0'; digit <= '9'; ++digit) {
        widest = std::max(widest, metrics.horizontalAdvance(QChar(digit)));
    }
    return widest;
}

qreal advance(const QFontMetricsF& metrics, qreal cell, QChar character) {
    return character.isDigit() ? cell : metrics.horizontalAdvance(character);
}

}  // namespace

FigureLabel::FigureLabel(const QFont& font, const QColor& color, QWidget* parent)
    : QWidget(parent), color_(color) {
    setFont(font);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void FigureLabel::setText(const QString& text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    setAccessibleName(text);
    updateGeometry();
    update();
}

void FigureLabel::setColor(const QColor& color) {
    if (color == color_) {
        return;
    }
    color_ = color;
    update();
}

QSize FigureLabel::sizeHint() const {
    const QFontMetricsF metrics(font());
    return {static_cast<int>(std::ceil(width(font(), text_))),
            static_cast<int>(std::ceil(metrics.height()))};
}

qreal FigureLabel::width(const QFont& font, const QString& text) {
    const QFontMetricsF metrics(font);
    const qreal cell = digitCell(metrics);
    qreal total = 0;
    for (const QChar character : text) {
        total += advance(metrics, cell, character);
    }
    return total;
}

void FigureLabel::draw(QPainter& painter, const QFont& font, const QRectF& box,
                       Qt::Alignment alignment, const QString& text) {
    const QFontMetricsF metrics(font);
    const qreal cell = digitCell(metrics);
    const qreal total = width(font, text);
    qreal x = box.left();
    if (alignment & Qt::AlignHCenter) {
        x = box.center().x() - total / 2;
    } else if (alignment & Qt::AlignRight) {
        x = box.right() - total;
    }
    const qreal baseline = box.center().y() + (metrics.ascent() - metrics.descent()) / 2;
    painter.save();
    painter.setFont(font);
    // Text in runs, so that emoji and combined characters keep their shaping; a digit is
    // centred in its cell.
    QString run;
    const auto flush = [&] {
        if (!run.isEmpty()) {
            painter.drawText(QPointF(x, baseline), run);
            x += metrics.horizontalAdvance(run);
            run.clear();
        }
    };
    for (const QChar character : text) {
        if (character.isDigit()) {
            flush();
            const qreal own = metrics.horizontalAdvance(character);
            painter.drawText(QPointF(x + (cell - own) / 2, baseline), QString(character));
            x += cell;
        } else {
            run += character;
        }
    }
    flush();
    painter.restore();
}

void FigureLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(color_);
    draw(painter, font(), QRectF(rect()), Qt::AlignCenter, text_);
}
