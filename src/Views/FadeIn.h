#pragma once

#include <QWidget>
#include <chrono>
#include <functional>

class MotionPreferences;

// A widget whose content just changed eases in from transparent, ease-in-out over `duration`;
// at once when motion is reduced. The fade leaves nothing behind once it is done.
void fadeIn(QWidget& widget, std::chrono::milliseconds duration, const MotionPreferences& motion);

// The reverse: the widget eases out to transparent over `duration`, then `gone` runs (to hide
// it, say); at once when motion is reduced or the widget is not on screen.
void fadeOut(QWidget& widget, std::chrono::milliseconds duration, const MotionPreferences& motion,
             std::function<void()> gone);
