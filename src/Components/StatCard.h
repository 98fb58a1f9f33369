#pragma once

#include <QVBoxLayout>
#include <QWidget>

#include "Components/LiquidGlass.h"

class BreathingEffect;
class AccessibilityPreferences;

// A card's elevation.
enum class CardDepth { prominent, standard, recessed };

namespace CardDepths {
GlassStyle glassOf(CardDepth depth);
}

// A glass card: its children one above the other, centred, 8 pt apart, 16 pt in from the
// edges; as wide as its parent gives it. It breathes gently, shadows and all.
class StatCard : public QWidget {
    Q_OBJECT

public:
    StatCard(CardDepth depth, AccessibilityPreferences& motion, QWidget* parent = nullptr);

    CardDepth depth() const { return depth_; }
    // Adds a child, centred, under the ones already there.
    void addContent(QWidget* child, Qt::Alignment alignment = Qt::AlignHCenter);
    void addContent(QLayout* row);
    // Extra room, in points, under the children already there.
    void addSpacing(int points);
    // The card's breath, which also carries its coming and going.
    BreathingEffect& breath() const { return *breath_; }
    // Shows the card fading in from 95 % of its size.
    void enter();
    // Fades the card out to 95 % of its size, then hides it.
    void leave();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CardDepth depth_;
    AccessibilityPreferences& motion_;
    QVBoxLayout* layout_;
    BreathingEffect* breath_;
};
