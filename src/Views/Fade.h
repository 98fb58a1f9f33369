#pragma once

#include <QWidget>
#include <chrono>
#include <functional>

class AccessibilityPreferences;

// Opacity transitions of real widgets over whatever lies behind them, ease-in-out. A widget drawn
// through another effect keeps that one and changes at once; so does everything when motion is
// reduced or the widget is not on screen. The fade leaves nothing behind once it is done.

// A widget whose content just changed, or that just arrived, eases in from transparent.
void fadeIn(QWidget& widget, std::chrono::milliseconds duration,
            const AccessibilityPreferences& motion);
// A widget on its way out eases to transparent; then `gone` runs (at once when nothing fades).
void fadeOut(QWidget& widget, std::chrono::milliseconds duration,
             const AccessibilityPreferences& motion, std::function<void()> gone);
