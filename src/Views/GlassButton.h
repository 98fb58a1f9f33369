#pragma once

#include <QVariantAnimation>

#include "Views/PageButton.h"
#include "Views/TextStyle.h"

class AccessibilityPreferences;

// How a glass button looks and moves.
struct GlassButtonStyle {
    TextStyle text;
    QColor fillTop;
    QColor fillBottom;
    // The inside rim's white, from the top: opacity at each location.
    QList<QPair<qreal, double>> rimStops;
    qreal cornerRadius = 12;
    int paddingX = 16;
    int paddingY = 12;
    qreal shadowRadius = 12;
    qreal shadowDrop = 5;
    double pressedScale = 0.96;
    double hoverScale = 1.01;
    bool fullWidth = false;
};

// A frosted, tinted button that shrinks while pressed and swells a little under the pointer:
// a springy 0.3 s for the press, an ease-out 0.15 s for the hover.
class GlassButton : public PageButton {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds springTime{300};
    static constexpr std::chrono::milliseconds hoverTime{150};

    GlassButton(const QString& text, GlassButtonStyle style, AccessibilityPreferences& motion,
                QWidget* parent = nullptr);

    // The page holds the press for a moment after a click, so the shrink shows.
    void setPressedLook(bool pressed);
    bool hasPressedLook() const { return pressedLook_; }
    // Where the scale is heading, and where it is now.
    double targetScale() const;
    double shownScale() const { return scale_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void moveScale(bool springy);

    GlassButtonStyle style_;
    AccessibilityPreferences& motion_;
    bool pressedLook_ = false;
    double scale_ = 1.0;
    QVariantAnimation scaling_;
};
