#include "Components/StatLabel.h"

#include "Components/GlassTheme.h"

StatLabel::StatLabel(const QString& text, QWidget* parent) : QLabel(captionText(text), parent) {
    QFont font = GlassTheme::font(this->font(), 10, QFont::DemiBold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
    setFont(font);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, GlassTheme::secondaryText());
    setPalette(palette);
    setAccessibleName(text);
}

QString StatLabel::captionText(const QString& text) {
    // QString::toUpper applies the full Unicode case mapping and ignores the locale.
    return text.toUpper();
}
