#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>

// How one line of a page's text looks: its system-font size, weight, slant and colour.
struct TextStyle {
    qreal pointSize = 13;  // window points, as the components size their text
    QFont::Weight weight = QFont::Normal;
    QColor color;
    bool italic = false;
    qreal tracking = 0;    // extra letter spacing, in points
    bool rounded = false;  // the rounded face of titles and figures
};

namespace PageText {

QFont fontOf(const TextStyle& style);
void apply(QLabel& label, const TextStyle& style);
void setColor(QLabel& label, const QColor& color);
// A label that draws nothing behind its text; the page's glass and backdrop show through.
QLabel* label(const QString& text, const TextStyle& style, QWidget* parent);
// Centred, wrapping onto as many lines as it needs.
QLabel* paragraph(const QString& text, const TextStyle& style, QWidget* parent);
// A wrapping label kept to at most this many lines of its font.
void limitLines(QLabel& label, int lines);

}  // namespace PageText
