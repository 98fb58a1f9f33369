#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <optional>

// The few pictograms the pages show, drawn by us as plain monochrome glyphs.
enum class Symbol {
    chevronLeft,
    figureStand,
    figureRoll,
    checkmarkCircleFill,
    personAndBackgroundDotted,
    arrowTriangle2Circlepath,
};

namespace Symbols {

// By the names the product uses: "chevron.left", "figure.stand" and so on.
std::optional<Symbol> named(const QString& name);
QString nameOf(Symbol symbol);
// The glyph's side for a symbol set beside text of this point size.
qreal sideFor(qreal pointSize);
// Draws the glyph centred in the largest square that fits `box`.
void paint(QPainter& painter, Symbol symbol, const QRectF& box, const QColor& color);

}  // namespace Symbols

// One symbol at the size it would have beside text of `pointSize`, in one colour.
class SymbolView : public QWidget {
    Q_OBJECT

public:
    SymbolView(Symbol symbol, qreal pointSize, QColor color, QWidget* parent = nullptr);

    Symbol symbol() const { return symbol_; }
    QColor color() const { return color_; }
    void setSymbol(Symbol symbol);
    void setColor(const QColor& color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Symbol symbol_;
    qreal side_;
    QColor color_;
};
