#include "Components/GlassTheme.h"

#include <QFontDatabase>
#include <algorithm>
#include <cmath>

namespace GlassTheme {

QColor fromSrgb(const SrgbColor& color, double opacity) {
    return QColor::fromRgbF(static_cast<float>(color.red), static_cast<float>(color.green),
                            static_cast<float>(color.blue), static_cast<float>(opacity));
}

QFont font(const QFont& base, qreal size, QFont::Weight weight) {
    QFont font = base;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
    font.setWeight(weight);
    return font;
}

QFont roundedFont(qreal size) {
    // Registered with the application once, on first use, from the resources built in.
    static const QString family = [] {
        const int id =
            QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/Quicksand-Bold.ttf"));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QString() : families.first();
    }();
    QFont face = font(QFont(), size, QFont::Bold);
    if (!family.isEmpty()) {
        face.setFamilies({family});
    }
    return face;
}

QColor withOpacity(QColor color, double opacity) {
    color.setAlphaF(static_cast<float>(std::clamp(opacity, 0.0, 1.0)));
    return color;
}

QColor primaryText() {
    return fromSrgb(primaryInk);
}

QColor secondaryText() {
    return fromSrgb({0.35, 0.40, 0.38});
}

QColor tertiaryText() {
    return fromSrgb({0.50, 0.54, 0.52});
}

QColor accent() {
    return fromSrgb({0.22, 0.40, 0.32});
}

QColor success() {
    return fromSrgb({0.2, 0.55, 0.3});
}

QColor standardGray() {
    return fromSrgb({0.56, 0.56, 0.58});
}

QColor standardGreen() {
    return fromSrgb({0.20, 0.78, 0.35});
}

QColor standardOrange() {
    return fromSrgb({1.0, 0.58, 0.0});
}

QColor ultraThinMaterial() {
    return fromSrgb({0.98, 0.99, 0.98}, 0.42);
}

}  // namespace GlassTheme
