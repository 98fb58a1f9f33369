#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

class QPainter;

// A number that changes in place: each digit stands in a cell as wide as the face's widest digit
// (tabular digits), so a countdown or a total keeps its place as its digits change.
class FigureLabel : public QWidget {
    Q_OBJECT

public:
    FigureLabel(const QFont& font, const QColor& color, QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);
    QColor color() const { return color_; }
    void setColor(const QColor& color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // `text` in `font` with tabular digits: its width, and drawn in `box` at `alignment` in the
    // painter's pen.
    static qreal width(const QFont& font, const QString& text);
    static void draw(QPainter& painter, const QFont& font, const QRectF& box,
                     Qt::Alignment alignment, const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QColor color_;
};
