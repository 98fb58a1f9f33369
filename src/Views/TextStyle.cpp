#include "Views/TextStyle.h"

#include <QFontMetrics>

#include "Components/GlassTheme.h"

namespace PageText {

QFont fontOf(const TextStyle& style) {
    QFont font = style.rounded ? GlassTheme::roundedFont(style.pointSize)
                               : GlassTheme::font(QFont(), style.pointSize, style.weight);
    font.setItalic(style.italic);
    if (style.tracking > 0) {
        font.setLetterSpacing(QFont::AbsoluteSpacing, style.tracking);
    }
    return font;
}

void setColor(QLabel& label, const QColor& color) {
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    label.setPalette(palette);
}

void apply(QLabel& label, const TextStyle& style) {
    label.setFont(fontOf(style));
    setColor(label, style.color);
}

QLabel* label(const QString& text, const TextStyle& style, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAutoFillBackground(false);
    apply(*label, style);
    return label;
}

QLabel* paragraph(const QString& text, const TextStyle& style, QWidget* parent) {
    QLabel* shown = label(text, style, parent);
    shown->setWordWrap(true);
    shown->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return shown;
}

void limitLines(QLabel& label, int lines) {
    label.setMaximumHeight(QFontMetrics(label.font()).lineSpacing() * lines + 2);
}

}  // namespace PageText
